#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

// Linux hands a process's exit code only to its parent. WaitForProcess on a process this program did not
// start therefore still waits for its end but returns UnknownExitCode; an Execute with Wait through the host
// (which starts the program) thus returns -1 once the program has ended.
inline constexpr int UnknownExitCode = -1;

// Starts Program (searched in PATH when it has no '/') with Arguments (without argv[0]); its pid, or 0 when it
// could not be started (Error, when given, receives the system's text). The caller waits for it (WaitForProcess) or the
// child remains a zombie until this process ends.
[[nodiscard]] pid_t StartProcess(
    const std::string& Program, const std::vector<std::string>& Arguments, std::string* Error = nullptr);

// Waits without time limit, through a process descriptor, until process Pid has ended. Returns its exit code
// (128 + the signal number when a signal ended it) if it is a child of this process that nobody reaped yet,
// UnknownExitCode for any other process, and nullopt when it cannot be opened for waiting (no such process,
// or no permission; Error, when given, receives the system's text).
[[nodiscard]] std::optional<int> WaitForProcess(pid_t Pid, std::string* Error = nullptr);
