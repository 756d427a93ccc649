// The command-line rule of the entry point. Plain logic.
#pragma once

enum class RunMode { Uninstall, Setup, Wait, Warning, None };

struct CommandLine {
    RunMode mode;
    bool silent;
};

CommandLine ParseCommandLine(const char* commandLine);
