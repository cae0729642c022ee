#pragma once

#include "Driver.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace quenk::e2e {

using namespace std::chrono_literals;

// quenk.exe run to its end as a fleet tool runs it: standard error and
// output to pipes of their own, the exit code read, and its top-level
// windows watched throughout.
struct Finished {
  DWORD code = 0xFFFFFFFF;
  std::string failure;  // why the process could not be run
  std::string errors;
  std::string output;
  bool windowSeen = false;
};

inline bool HasVisibleWindow(DWORD pid) {
  struct Search {
    DWORD pid;
    bool found;
  } s{pid, false};
  ::EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->pid && ::IsWindowVisible(hwnd)) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

inline std::string Drain(HANDLE read) {
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(read, chunk, sizeof chunk, &got, nullptr) && got) text.append(chunk, got);
  return text;
}

// A run started and not yet waited for, so that two can run at once.
class Launched {
 public:
  Launched(const std::vector<std::string>& arguments, const char* workingDir = kProgramDir) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE errorsWrite = nullptr, outputWrite = nullptr;
    if (!::CreatePipe(&errors_, &errorsWrite, &inherit, 1 << 16) ||
        !::CreatePipe(&output_, &outputWrite, &inherit, 1 << 16)) {
      out_.failure = "CreatePipe " + std::to_string(::GetLastError());
      return;
    }
    ::SetHandleInformation(errors_, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
    std::string line = std::string("\"") + kProgram + "\"";
    for (const auto& a : arguments) line += " " + a;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdError = errorsWrite;
    si.hStdOutput = outputWrite;
    si.hStdInput = nullptr;
    // A start that fails is tried again: what the test watches is the run.
    for (int attempt = 0; attempt < 3 && !started_; ++attempt) {
      started_ = ::CreateProcessA(kProgram, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                  workingDir, &si, &pi_);
      if (!started_) out_.failure += "CreateProcess " + std::to_string(::GetLastError()) + "; ";
    }
    ::CloseHandle(errorsWrite);
    ::CloseHandle(outputWrite);
  }
  Launched(const Launched&) = delete;
  Launched& operator=(const Launched&) = delete;
  ~Launched() {
    if (started_) {
      ::CloseHandle(pi_.hThread);
      ::CloseHandle(pi_.hProcess);
    }
    if (errors_) ::CloseHandle(errors_);
    if (output_) ::CloseHandle(output_);
  }

  Finished Finish() {
    if (started_) {
      const auto end = std::chrono::steady_clock::now() + 30s;
      while (::WaitForSingleObject(pi_.hProcess, 5) == WAIT_TIMEOUT &&
             std::chrono::steady_clock::now() < end)
        out_.windowSeen = out_.windowSeen || HasVisibleWindow(pi_.dwProcessId);
      if (::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT)
        ::TerminateProcess(pi_.hProcess, 99);
      ::GetExitCodeProcess(pi_.hProcess, &out_.code);
      out_.errors = Drain(errors_);
      out_.output = Drain(output_);
    }
    return out_;
  }

 private:
  Finished out_;
  HANDLE errors_ = nullptr;
  HANDLE output_ = nullptr;
  PROCESS_INFORMATION pi_{};
  BOOL started_ = FALSE;
};

inline Finished RunToEnd(const std::vector<std::string>& arguments,
                         const char* workingDir = kProgramDir) {
  return Launched(arguments, workingDir).Finish();
}

}  // namespace quenk::e2e
