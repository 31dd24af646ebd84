#!/usr/bin/env bash
# Fails when a shipped 32-bit file holds an instruction that a 386 with its 387 does not have,
# naming the file and each such instruction with its count. Windows 95 needs only a 386DX, so
# no 486 (xadd, cmpxchg, bswap), Pentium (cmpxchg8b, cpuid, rdtsc), Pentium Pro (cmov, fcmov,
# fcomi, fucomi, sysenter) or later instruction (MMX, SSE, ...) may appear in them.
#   check_instructions.sh OBJDUMP FILE...
#
# The whole code section of the final file is read, so what libgcc or any other static code
# brought in is checked too. Every instruction must be on the list below, the 386's and the
# 387's as objdump spells them in Intel syntax, so anything newer fails by its name, named above
# or not. Besides:
#  - A prefix (lock, rep, a segment) is checked with the instruction after it.
#  - An MMX or SSE register fails wherever it appears (SSE2's movsd and cmpsd share their
#    names with the 386's string instructions).
#  - "nop" with an operand is the long NOP (0f 1f), which only the Pentium Pro and later
#    decode. The assembler may fill alignment with it, and a fill inside a function runs. The
#    386's fills (nop, xchg ax,ax, lea esi,[esi]) pass.
#  - ud2 passes: its one job is to raise the invalid-opcode exception, and on a 386 its bytes
#    are undefined and raise the same.
#  - "(bad)" is data inside the code section (the end marks of the constructor list), never run.
set -euo pipefail

allowed='
aaa aad aam aas adc add and arpl bound bsf bsr bt btc btr bts call cbw cdq clc cld cli clts
cmc cmp cmps cmpsb cmpsd cmpsw cwd cwde daa das dec div enter hlt idiv imul in inc ins insb
insd insw int int3 into iret iretd ja jae jb jbe jcxz je jecxz jg jge jl jle jmp jne jno jnp
jns jo jp js lahf lar lds lea leave les lfs lgdt lgs lidt lldt lmsw lods lodsb lodsd lodsw
loop loope loopne lsl lss ltr mov movs movsb movsd movsw movsx movzx mul neg nop not or out
outs outsb outsd outsw pop popa popad popf popfd push pusha pushad pushf pushfd rcl rcr ret
retf rol ror sahf sal sar sbb scas scasb scasd scasw seta setae setb setbe sete setg setge
setl setle setne setno setnp setns seto setp sets sgdt shl shld shr shrd sidt sldt smsw stc
std sti stos stosb stosd stosw str sub test verr verw xchg xlat xor ud2 (bad)
lock rep repe repne repz repnz cs ds es fs gs ss data16 addr16
f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos fdecstp fdiv fdivp fdivr
fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fist fistp fisub fisubr
fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fninit fnop
fnsave fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave fscale fsin
fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr fsubrp ftst fucom fucomp fucompp
fwait fxam fxch fxtract fyl2x fyl2xp1
'
prefixes='lock|rep|repe|repne|repz|repnz|cs|ds|es|fs|gs|ss|data16|addr16'

objdump=$1
shift
failed=0
for file in "$@"; do
    # objdump -w gives one line per instruction: address, bytes, instruction.
    found=$("$objdump" -d -w -M intel "$file" | awk -F'\t' -v allowed="$allowed" -v prefixes="^((${prefixes}) +)+" '
        BEGIN { n = split(allowed, a, /[ \n]+/); for (i = 1; i <= n; ++i) ok[a[i]] = 1 }
        NF >= 3 && $1 ~ /^ *[0-9a-f]+:$/ {
            ++count
            text = $3
            sub(prefixes, "", text)
            name = text; sub(/ .*/, "", name)
            operands = substr(text, length(name) + 1)
            if (!(name in ok))
                ++bad[name]
            else if (name == "nop" && operands ~ /[^ ]/)
                ++bad["nop with an operand (0f 1f)"]
            if (operands ~ /(^|[^a-z_])[xyz]?mm[0-9]/)
                ++bad["an MMX or SSE register"]
        }
        END {
            print "instructions " count + 0
            for (name in bad) print "newer " name ": " bad[name]
        }')
    count=$(sed -n 's/^instructions //p' <<<"$found")
    newer=$(sed -n 's/^newer //p' <<<"$found" | sort)
    if [[ $count -eq 0 ]]; then
        echo "$file: no code found"
        failed=1
    elif [[ -n $newer ]]; then
        echo "$file: $count instructions, these newer than the 386 and its 387:"
        sed 's/^/  /' <<<"$newer"
        failed=1
    else
        echo "$file: $count instructions, all of the 386 and its 387"
    fi
done
exit $failed
