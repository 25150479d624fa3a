# Data files the batch fault cases of Linux and Windows share; sourced.

# with_line N TEXT < data: the data file with line N replaced.
with_line() { awk -v n="$1" -v t="$2" 'NR == n { print t; next } { print }'; }

# A small run whose zone 2 system (3 layers, Fourier number 1, Biot numbers
# -1 and -0.75) is exactly singular; zone 2's second outer temperature is $1.
singular_data() {
  printf '%s\n' "Density = 1" "Specific Heat = 1" "Conductivity = 10" "Thickness = 3" \
    "Speed = 6" "Initial Temperature = 1" "Increment = 1" "Layers = 3" \
    "Z1 Htc1 = 10" "Z1 Htc2 = 10" "Z1 Outer1 = 1" "Z1 Outer2 = 1" "Z1 Length = 0.5" \
    "Z2 Htc1 = -10" "Z2 Htc2 = -7.5" "Z2 Outer1 = 1" "Z2 Outer2 = $1" "Z2 Length = 3" \
    "Z3 Htc1 =" "Z3 Htc2 =" "Z3 Outer1 =" "Z3 Outer2 =" "Z3 Length =" \
    "Z4 Htc1 =" "Z4 Htc2 =" "Z4 Outer1 =" "Z4 Outer2 =" "Z4 Length ="
}
