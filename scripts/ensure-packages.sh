# Installs the Debian packages named in the arguments that are not installed yet.
# Sourced by the other scripts; runs apt-get as root, or through sudo.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What building the program needs.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev qtkeychain-qt6-dev)
# What running the program needs besides (fonts for its windows).
RUN_PACKAGES=(libsecret-1-0 fonts-dejavu-core gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio)
# What the tests need besides.
TEST_PACKAGES=(python3-xlib python3-dbus python3-gi desktop-file-utils openssl googletest libgtest-dev libgmock-dev fonts-dejavu-core dovecot-pop3d dovecot-imapd python3 dbus python3-dbusmock gnome-keyring libsecret-tools xinetd xvfb trayer x11-utils libcap2-bin pulseaudio pulseaudio-utils
               "${RUN_PACKAGES[@]}")
# What fuzzing the core needs: clang, and its runtime with libFuzzer and the sanitizers.
FUZZ_PACKAGES=(cmake ninja-build clang libclang-rt-14-dev)
