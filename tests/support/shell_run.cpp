#include "support/shell_run.h"

#include <sys/wait.h>

#include <cstdio>

ShellRun RunShell(const std::string& commandLine) {
    ShellRun run;
    FILE* pipe = ::popen(commandLine.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }
