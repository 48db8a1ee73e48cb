#pragma once

// Exit status of every command: scripts tell a failed operation from a wrong command line.
enum CliExitCode
{
    CLI_EXIT_CODE_SUCCESS = 0,
    CLI_EXIT_CODE_FAILURE = 1,
    CLI_EXIT_CODE_USAGE = 2,
    // Stopped by Ctrl+C (128 + SIGINT, as a shell reports a program the signal ended).
    CLI_EXIT_CODE_INTERRUPTED = 130
};
