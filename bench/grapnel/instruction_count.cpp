#include "instruction_count.h"

#include <signal.h>
#include <sys/ptrace.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench_grapnel {

namespace {

struct Regs {
  unsigned long ip, sp;
};

bool ReadRegs(pid_t child, Regs* out) {
  user_regs_struct regs;
  if (ptrace(PTRACE_GETREGS, child, nullptr, &regs) != 0) return false;
#if defined(__x86_64__)
  out->ip = regs.rip;
  out->sp = regs.rsp;
#else
  out->ip = regs.eip;
  out->sp = regs.esp;
#endif
  return true;
}

}  // namespace

long CountInstructions(const void* entry, const std::function<void()>& call, const void* stop) {
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    raise(SIGSTOP);
    call();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFSTOPPED(status)) return -1;
  const unsigned long start = reinterpret_cast<unsigned long>(entry);
  const unsigned long end = reinterpret_cast<unsigned long>(stop);
  unsigned long back = 0;
  bool inside = false;
  long count = -1;
  for (long steps = 0; steps < 10000000; ++steps) {
    Regs regs;
    if (!ReadRegs(child, &regs)) break;
    if (!inside && regs.ip == start) {
      inside = true;
      count = 0;
      back = static_cast<unsigned long>(ptrace(PTRACE_PEEKDATA, child, reinterpret_cast<void*>(regs.sp), nullptr));
    } else if (inside && (regs.ip == back || (end && regs.ip == end))) {
      break;
    }
    if (inside) ++count;
    if (ptrace(PTRACE_SINGLESTEP, child, nullptr, nullptr) != 0) {
      count = -1;
      break;
    }
    waitpid(child, &status, 0);
    if (WIFEXITED(status) || WIFSIGNALED(status)) {
      count = -1;
      break;
    }
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return count;
}

}  // namespace bench_grapnel
