#pragma once

class WakeEvent;

// Ctrl+C and the system's request to end (SIGINT and SIGTERM; on Windows the console's Ctrl+C
// and Ctrl+Break) as an event a wait can take among its sockets, set whenever one comes.
// Caught from the start of a program: call Catch first thing in main (on Windows, once sockets
// have started), and they stay caught until the process ends.
class TerminationSignals {
public:
    static void Catch();
    // False when the system refused a part of Catch.
    static bool AreCaught();
    // Set by every signal; whoever takes it resets it.
    static WakeEvent& Event();
};
