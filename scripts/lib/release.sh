# The release's reproducible bytes, signatures and checksums, for scripts/package
# (docs/releasing.md).
# Source it after common.sh; release_environment comes first.
# shellcheck shell=bash

# The last commit's time (or the SOURCE_DATE_EPOCH given, for a tree without its history) is the
# one time written into a package; the zone, locale and umask of the machine are not.
release_environment() {
    if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
        SOURCE_DATE_EPOCH=$(git -C "$HUSHWELL_ROOT" log -1 --format=%ct 2>/dev/null) || true
        [ -n "$SOURCE_DATE_EPOCH" ] ||
            die "no commit to take the release time from: set SOURCE_DATE_EPOCH (seconds)"
    fi
    [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] ||
        die "SOURCE_DATE_EPOCH is not a number of seconds: $SOURCE_DATE_EPOCH"
    export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C
    umask 022
}

# pin_files FOLDER: every file in it readable by all and dated SOURCE_DATE_EPOCH, as a zip entry
# or a cabinet entry records them.
pin_files() {
    find "$1" -type f -exec chmod 644 {} +
    find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# product_code UPGRADE_CODE VERSION: the MSI's product code, a name-based GUID of the version in
# the upgrade code's namespace: the same version always gets the same code.
product_code() {
    python3 -c 'import sys, uuid
code = uuid.uuid5(uuid.UUID(sys.argv[1]), "Hushwell " + sys.argv[2])
print("{%s}" % str(code).upper())' "$1" "$2"
}

# signing_setup: signs when HUSHWELL_SIGN_PFX (a PKCS#12 file) and HUSHWELL_SIGN_PASSWORD_FILE (a
# file holding its password, which never goes on a command line) are both given; with neither,
# says in one line that the packages are unsigned. HUSHWELL_SIGN_TIMESTAMP_URL names an RFC 3161
# timestamp server, for a release machine that can reach one.
SIGNING=
signing_setup() {
    local pfx=${HUSHWELL_SIGN_PFX:-} password=${HUSHWELL_SIGN_PASSWORD_FILE:-}
    command -v osslsigncode >/dev/null || die "osslsigncode is needed (scripts/setup installs it)"
    if [ -z "$pfx$password" ]; then
        say "scripts/package: unsigned packages (no HUSHWELL_SIGN_PFX and" \
            "HUSHWELL_SIGN_PASSWORD_FILE; docs/releasing.md)"
        return 0
    fi
    [ -n "$pfx" ] && [ -n "$password" ] ||
        die "signing needs both HUSHWELL_SIGN_PFX and HUSHWELL_SIGN_PASSWORD_FILE"
    [ -r "$pfx" ] || die "cannot read the certificate file HUSHWELL_SIGN_PFX=$pfx"
    [ -r "$password" ] || die "cannot read the password file HUSHWELL_SIGN_PASSWORD_FILE=$password"
    SIGNING=1
}

# sign_file FILE: an Authenticode signature with SHA-256 digests, in place.
sign_file() {
    local file=$1 stamp=()
    [ -z "${HUSHWELL_SIGN_TIMESTAMP_URL:-}" ] || stamp=(-ts "$HUSHWELL_SIGN_TIMESTAMP_URL")
    osslsigncode sign -pkcs12 "$HUSHWELL_SIGN_PFX" -readpass "$HUSHWELL_SIGN_PASSWORD_FILE" \
        -h sha256 -n Hushwell "${stamp[@]}" -in "$file" -out "$file.signed" >"$file.log" 2>&1 ||
        { cat "$file.log" >&2; rm -f "$file.signed" "$file.log"; die "could not sign $file"; }
    rm -f "$file.log"
    mv "$file.signed" "$file"
}

# sign_binaries FOLDER: every program and DLL in the package folder, before it is packed.
sign_binaries() {
    [ -n "$SIGNING" ] || return 0
    local file
    while IFS= read -r -d '' file; do
        sign_file "$file"
    done < <(find "$1" -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0 | sort -z)
}

# finish_msi MSI: once its tables are final, its summary times and package code, then its
# signature. osslsigncode writes an MSI's storage in a layout of its own (the same streams, in
# other places), so an unsigned MSI is passed through it too, signed with a key made for the
# purpose and the signature removed again: a signed release with its signature removed then
# equals the unsigned build byte for byte.
finish_msi() {
    local msi=$1
    "$HUSHWELL_ROOT/scripts/lib/msi-summary" "$msi" >/dev/null ||
        die "could not set the summary of $msi"
    if [ -n "$SIGNING" ]; then
        sign_file "$msi"
        return
    fi
    local scratch
    scratch=$(mktemp -d)
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj /CN=layout -days 1 \
        -keyout "$scratch/key.pem" -out "$scratch/cert.pem" >/dev/null 2>&1 &&
        osslsigncode sign -certs "$scratch/cert.pem" -key "$scratch/key.pem" -h sha256 \
            -in "$msi" -out "$scratch/signed.msi" >/dev/null 2>&1 &&
        osslsigncode remove-signature -in "$scratch/signed.msi" -out "$scratch/plain.msi" \
            >/dev/null 2>&1 ||
        { rm -rf "$scratch"; die "osslsigncode could not lay out $msi"; }
    mv "$scratch/plain.msi" "$msi"
    rm -rf "$scratch"
}

# write_checksums FOLDER FILE...: FOLDER/SHA256SUMS for the packages, as sha256sum -c reads it,
# written when they are final.
write_checksums() {
    local folder=$1
    shift
    (cd "$folder" && sha256sum -- "${@##*/}") >"$folder/SHA256SUMS.new" ||
        die "could not checksum $*"
    mv "$folder/SHA256SUMS.new" "$folder/SHA256SUMS"
    echo "$folder/SHA256SUMS"
}
