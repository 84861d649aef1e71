// What a program needs of the system to run a copy of itself from elsewhere: its
// command line, a private temporary folder, starting a process that waits for this
// one to end, and files deleted when the system next starts. Every text is code
// page 932 bytes; failures are results.
#pragma once

#include <string>

class Processes {
public:
    virtual ~Processes() = default;

    // The command line of this process as the system holds it.
    virtual std::string CommandLine() = 0;
    // Creates a new folder with a random name in the user's temporary folder that only
    // the current user (and the system itself) can use, or, when this process runs
    // elevated, in the system's temporary folder and only for administrators; its path
    // without a trailing separator, or the empty text when it cannot be made.
    virtual std::string CreatePrivateTempFolder() = 0;
    // A text without blanks that a process started by StartProcess can hand to
    // WaitForProcess to wait for this process to end; empty when there is none.
    virtual std::string WaitToken() = 0;
    // Starts `program` with `arguments` (the program's own quoted path comes first in
    // its command line) and `workingFolder` as its current folder.
    virtual bool StartProcess(const std::string& program, const std::string& arguments,
                              const std::string& workingFolder) = 0;
    // Waits until the process that gave `token` to this one has ended. False when the
    // token names no such process or it does not end in time.
    virtual bool WaitForProcess(const std::string& token) = 0;
    // Has the system delete a file, or a folder that is empty by then, at its next start.
    virtual bool DeleteAtRestart(const std::string& path) = 0;
};
