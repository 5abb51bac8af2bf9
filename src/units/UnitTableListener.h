#pragma once

#include <string>

// Told of the table's silent marking, for whoever mirrors it (an availability topic, a count on
// screen). No method may wait: the worker calls them between reports.
class UnitTableListener {
public:
    virtual ~UnitTableListener() = default;

    // On the worker: the unit reported for the first time since the start, or again after it
    // was marked silent.
    virtual void OnUnitReporting(const std::string& /*address*/) {}
    // On the worker: the unit has not reported for the silent time.
    virtual void OnUnitSilent(const std::string& /*address*/) {}
    // On any thread: a row came, changed or went; readers take the rows again.
    virtual void OnUnitsChanged() {}
};
