#include "display/vendor_call.h"

#if defined(__i386__)
// EBX holds the stack pointer from before the arguments were pushed; it is callee-saved in both
// conventions, so it survives the call whatever the callee popped. The argument block is aligned
// to 16 bytes, as compiled code may expect.
asm(R"(
    .text
    .globl _OrvaCallKeepingStack
    .def _OrvaCallKeepingStack; .scl 2; .type 32; .endef
_OrvaCallKeepingStack:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  8(%ebp), %eax
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  %esp, %ebx
    leal  (,%ecx,4), %edx
    subl  %edx, %esp
    andl  $-16, %esp
    movl  %esp, %edi
    cld
    rep movsl
    call  *%eax
    movl  %ebx, %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");
#endif
