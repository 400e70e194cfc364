# shellcheck shell=bash
# Sourced by scripts/run.sh and tests/e2e/run_e2e.sh: which Kestrove.exe runs under Wine here.
#
#   pick_product <repo root>
#
# The product build/win32/Kestrove.exe (PE32) wherever this machine executes 32-bit x86 code and
# wine32 is installed; the PE32+ twin build/win64/Kestrove.exe otherwise, or when KESTROVE_TWIN is
# set to anything but 0. Sets PRODUCT_FLAVOUR (win32|win64), PRODUCT_EXE, PRODUCT_KIND ("PE32" or
# "PE32+ twin") and PRODUCT_TWIN_WHY (empty for the product).

pick_product() {
    local root=$1
    PRODUCT_TWIN_WHY=""
    if [ -n "${KESTROVE_TWIN:-}" ] && [ "${KESTROVE_TWIN}" != 0 ]; then
        PRODUCT_TWIN_WHY="KESTROVE_TWIN is set"
    elif ! bash "$root/scripts/lib/runs-i386.sh"; then
        PRODUCT_TWIN_WHY="this machine does not run 32-bit x86 code"
    elif [ "$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null)" != "install ok installed" ]; then
        PRODUCT_TWIN_WHY="wine32:i386 is not installed"
    fi
    if [ -z "$PRODUCT_TWIN_WHY" ]; then
        PRODUCT_FLAVOUR=win32
        PRODUCT_KIND=PE32
    else
        PRODUCT_FLAVOUR=win64
        PRODUCT_KIND="PE32+ twin"
    fi
    PRODUCT_EXE="build/$PRODUCT_FLAVOUR/Kestrove.exe"
}

# "build/win32/Kestrove.exe (PE32)" or "build/win64/Kestrove.exe (PE32+ twin): <why>"
product_line() {
    printf '%s (%s)%s\n' "$PRODUCT_EXE" "$PRODUCT_KIND" "${PRODUCT_TWIN_WHY:+: $PRODUCT_TWIN_WHY}"
}
