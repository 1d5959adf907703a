# The command line that every script shares, sourced before the script
# does anything: --help prints the usage and the script's header comment,
# --version the version of Ombre, and an option the script does not take is
# refused with exit code 2. The script sets beforehand:
#   me      its name in messages, e.g. scripts/demo
#   usage   its ways to be called, beginning "usage: NAME"
# A relative path that the caller gives is relative to caller, the
# directory it was called from, even after the script changes directory.

lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
caller=$PWD

# In a clone the version is the one of CMakeLists.txt; installed, the build
# writes it to a file beside this one.
ombre_version() {
    if [ -f "$lib_dir/version" ]; then
        cat "$lib_dir/version"
    else
        sed -n 's/^project(Ombre VERSION \([^ )]*\).*/\1/p' "$lib_dir/../../CMakeLists.txt"
    fi
}

print_usage() {
    local name=${usage#usage: }
    printf '%s\n       %s --help | --version\n' "$usage" "${name%% *}"
}

# wrong MESSAGE: a wrong command line.
wrong() {
    echo "$me: $*" >&2
    print_usage >&2
    exit 2
}

fail() {
    echo "$me: $*" >&2
    exit 1
}

# common_option OPTION: answers --help and --version; any other option is
# one the script does not take.
common_option() {
    case $1 in
    --help | -h)
        print_usage
        echo
        awk 'FNR > 1 && !/^#/ { exit } FNR > 1 { sub(/^# ?/, ""); print }' "$0"
        exit 0
        ;;
    --version)
        echo "${me##*/} $(ombre_version)"
        exit 0
        ;;
    *) wrong "unknown option $1" ;;
    esac
}

# take_operands MOST ARGUMENT...: the command line of a script without
# options of its own; its operands, at most MOST, go to the array operands.
take_operands() {
    local most=$1
    shift
    operands=()
    while [ $# -gt 0 ]; do
        case $1 in
        --)
            shift
            operands+=("$@")
            break
            ;;
        -?*) common_option "$1" ;;
        *) operands+=("$1") ;;
        esac
        shift
    done
    [ ${#operands[@]} -le "$most" ] || wrong "too many arguments"
}

# decimal TEXT: TEXT as a whole number written in base ten, leading zeros
# and all ("08" is 8); fails when it is not one of at most nine digits.
decimal() {
    [[ $1 =~ ^0*([0-9]{1,9})$ ]] && echo $((10#${BASH_REMATCH[1]}))
}

# operand_or DEFAULT: the one operand, a path as the caller meant it, or
# else DEFAULT.
operand_or() {
    if [ ${#operands[@]} -eq 0 ]; then
        echo "$1"
    elif [[ ${operands[0]} == /* ]]; then
        echo "${operands[0]}"
    else
        echo "$caller/${operands[0]}"
    fi
}
