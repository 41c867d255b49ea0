#!/bin/sh
# Random expressions evaluated twice, by the engine and by the C++ compiler
# with wrapping arithmetic, which must agree; the seed keeps every run the
# same. BITLENS_ORACLE_SEED and BITLENS_ORACLE_COUNT choose another run.
#   expression-oracle.sh <expression_oracle> <c++ compiler> <work folder>
set -eu
oracle=$1
compiler=$2
work=$3
mkdir -p "$work"
"$oracle" "${BITLENS_ORACLE_SEED:-20240917}" "${BITLENS_ORACLE_COUNT:-150}" "$work/oracle-checks.cpp"
# No sanitizer or optimisation flags: the checks need C++20's defined shifts
# of negative numbers and -fwrapv's wrapping, nothing else.
"$compiler" -std=c++20 -fwrapv -O0 -w -o "$work/oracle-checks" "$work/oracle-checks.cpp"
"$work/oracle-checks"
