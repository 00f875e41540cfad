// The guarded call: a small routine with an exception handler of its own, in the form each
// processor's structured exception handling expects (a handler named in the function's
// unwind data on x86-64, a registration record on the frame chain on x86). Handlers of the
// frames inside the call are asked first, so faults the library or the system catch for
// themselves stay theirs. For one that reaches the routine, its handler resumes the thread
// at the routine's own epilogue with the stack pointer of its frame: the registers the
// routine saved are restored, and the call returns the exception's code.
#include "tableutil/FaultGuard.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace {

// What the handler writes about the fault; read after the routine has returned.
struct TFaultRecord {
    uint32_t code;
    uintptr_t address;
    uint32_t infoCount;
    uintptr_t info[2];
};

constexpr DWORD kNonContinuable = 0x1;
constexpr DWORD kUnwinding = 0x2 | 0x4;
constexpr DWORD kErrorSeverity = 0xC0000000u;

std::string ModuleAt(uintptr_t address) {
    HMODULE module = nullptr;
    char path[MAX_PATH] = {};
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(address), &module) ||
        !GetModuleFileNameA(module, path, MAX_PATH))
        return {};
    const std::string p(path);
    return p.substr(p.find_last_of("\\/:") + 1);
}

std::string Hex(uintptr_t v, int digits = sizeof(uintptr_t) * 2) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*llX", digits, static_cast<unsigned long long>(v));
    return text;
}

// In the words a Windows program uses for such faults.
std::string Describe(const TFaultRecord& f) {
    std::string what;
    switch (f.code) {
    case EXCEPTION_ACCESS_VIOLATION:
        what = "Access violation";
        break;
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        what = "Division by zero";
        break;
    case EXCEPTION_INT_OVERFLOW:
        what = "Integer overflow";
        break;
    case EXCEPTION_STACK_OVERFLOW:
        what = "Stack overflow";
        break;
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
        what = "Privileged instruction";
        break;
    default:
        what = "External exception " + Hex(f.code, 8);
        break;
    }
    what += " at address " + Hex(f.address);
    const std::string module = ModuleAt(f.address);
    if (!module.empty())
        what += " in module '" + module + "'";
    what += ".";
    if (f.code == EXCEPTION_ACCESS_VIOLATION && f.infoCount >= 2)
        what += std::string(f.info[0] == 0   ? " Read"
                            : f.info[0] == 8 ? " Execution"
                                             : " Write") +
                " of address " + Hex(f.info[1]) + ".";
    return what;
}

} // namespace

extern "C" {

uint32_t tu_run_guarded(void (*fn)(void*), void* arg, TFaultRecord* out);
void tu_guard_landing();

// The routine's handler, asked for each exception that nothing inside the call took.
EXCEPTION_DISPOSITION __cdecl tu_guard_handler(EXCEPTION_RECORD* rec, void* frame, CONTEXT* ctx,
                                               void*) {
    if ((rec->ExceptionFlags & (kUnwinding | kNonContinuable)) != 0 ||
        (rec->ExceptionCode & kErrorSeverity) != kErrorSeverity)
        return ExceptionContinueSearch;
    auto* base = static_cast<unsigned char*>(frame);
#if defined(__x86_64__)
    // The frame is the stack pointer after the routine's prologue; the record's address
    // lies in its last slot.
    TFaultRecord* out = *reinterpret_cast<TFaultRecord**>(base + 192);
#else
    // The frame is the registration record: previous record, handler, fault record.
    TFaultRecord* out = *reinterpret_cast<TFaultRecord**>(base + 8);
#endif
    out->code = rec->ExceptionCode;
    out->address = reinterpret_cast<uintptr_t>(rec->ExceptionAddress);
    out->infoCount = rec->NumberParameters;
    for (DWORD i = 0; i < 2 && i < rec->NumberParameters; ++i)
        out->info[i] = rec->ExceptionInformation[i];
#if defined(__x86_64__)
    ctx->Rsp = reinterpret_cast<DWORD64>(frame);
    ctx->Rip = reinterpret_cast<DWORD64>(&tu_guard_landing);
    ctx->Rax = rec->ExceptionCode;
#else
    ctx->Esp = reinterpret_cast<DWORD>(frame);
    ctx->Eip = reinterpret_cast<DWORD>(&tu_guard_landing);
    ctx->Eax = rec->ExceptionCode;
#endif
    ctx->EFlags &= ~0x400u; // the direction flag, as the calling convention wants it
    return ExceptionContinueExecution;
}

} // extern "C"

#if defined(__x86_64__)
// rcx: fn, rdx: arg, r8: fault record. Saves every register the Windows x64 convention
// makes the callee keep, xmm6 to xmm15 included, so the landing restores them all.
__asm__(R"(
    .text
    .p2align 4
    .globl tu_run_guarded
    .globl tu_guard_landing
    .def tu_run_guarded; .scl 2; .type 32; .endef
    .seh_proc tu_run_guarded
    .seh_handler tu_guard_handler, @except
tu_run_guarded:
    pushq %rbp
    .seh_pushreg %rbp
    pushq %rbx
    .seh_pushreg %rbx
    pushq %rdi
    .seh_pushreg %rdi
    pushq %rsi
    .seh_pushreg %rsi
    pushq %r12
    .seh_pushreg %r12
    pushq %r13
    .seh_pushreg %r13
    pushq %r14
    .seh_pushreg %r14
    pushq %r15
    .seh_pushreg %r15
    subq $200, %rsp
    .seh_stackalloc 200
    movaps %xmm6, 32(%rsp)
    .seh_savexmm %xmm6, 32
    movaps %xmm7, 48(%rsp)
    .seh_savexmm %xmm7, 48
    movaps %xmm8, 64(%rsp)
    .seh_savexmm %xmm8, 64
    movaps %xmm9, 80(%rsp)
    .seh_savexmm %xmm9, 80
    movaps %xmm10, 96(%rsp)
    .seh_savexmm %xmm10, 96
    movaps %xmm11, 112(%rsp)
    .seh_savexmm %xmm11, 112
    movaps %xmm12, 128(%rsp)
    .seh_savexmm %xmm12, 128
    movaps %xmm13, 144(%rsp)
    .seh_savexmm %xmm13, 144
    movaps %xmm14, 160(%rsp)
    .seh_savexmm %xmm14, 160
    movaps %xmm15, 176(%rsp)
    .seh_savexmm %xmm15, 176
    .seh_endprologue
    movq %r8, 192(%rsp)
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    xorl %eax, %eax
tu_guard_landing:
    movaps 32(%rsp), %xmm6
    movaps 48(%rsp), %xmm7
    movaps 64(%rsp), %xmm8
    movaps 80(%rsp), %xmm9
    movaps 96(%rsp), %xmm10
    movaps 112(%rsp), %xmm11
    movaps 128(%rsp), %xmm12
    movaps 144(%rsp), %xmm13
    movaps 160(%rsp), %xmm14
    movaps 176(%rsp), %xmm15
    addq $200, %rsp
    popq %r15
    popq %r14
    popq %r13
    popq %r12
    popq %rsi
    popq %rdi
    popq %rbx
    popq %rbp
    retq
    .seh_endproc
)");
#elif defined(__i386__)
// cdecl: fn, arg, fault record. The registration record goes on the thread's chain for
// the call; the landing takes it off again, together with any record the abandoned frames
// of the library left above it.
__asm__(R"(
    .text
    .p2align 4
    .globl _tu_run_guarded
    .globl _tu_guard_landing
    .def _tu_run_guarded; .scl 2; .type 32; .endef
_tu_run_guarded:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl 16(%ebp)
    pushl $_tu_guard_handler
    pushl %fs:0
    movl %esp, %fs:0
    pushl 12(%ebp)
    call *8(%ebp)
    addl $4, %esp
    xorl %eax, %eax
_tu_guard_landing:
    popl %fs:0
    addl $8, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");
#else
#error "The guarded call is written for x86 and x86-64."
#endif

namespace faultguard {

bool RunGuarded(void (*fn)(void*), void* arg, std::string& fault) {
    TFaultRecord record{};
    if (tu_run_guarded(fn, arg, &record) == 0)
        return true;
    fault = Describe(record);
    return false;
}

} // namespace faultguard
