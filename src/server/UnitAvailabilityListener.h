#pragma once

#include <string>

// Whoever wants to know when a unit stops reporting for longer than it should, and when it
// reports again. Called on the worker; a listener only takes note and never waits.
class UnitAvailabilityListener {
public:
    virtual ~UnitAvailabilityListener() = default;

    virtual void OnUnitSilent(const std::string& unitAddress) = 0;
    virtual void OnUnitReporting(const std::string& unitAddress) = 0;
};
