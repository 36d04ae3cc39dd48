// Runs a shell command line as a user would, collecting its standard output.
#pragma once

#include <string>

struct ShellRun {
    int status = -1;  // the exit status; -1 when the command did not exit normally
    std::string out;
};

ShellRun RunShell(const std::string& commandLine);

// `text` in single quotes for the shell (test paths hold none).
std::string Quoted(const std::string& text);
