#!/usr/bin/env bash
# The executable: a Windows GUI program that imports from the system DLLs and
# msvcrt only, and whose one resource is its manifest, which asks for the
# version 6 common controls of the build's architecture (so the dialog gets
# themed controls) and declares that the program runs as its invoker, so that
# Windows never redirects its writes to the VirtualStore.
# Usage: executable_imports_and_manifest.sh APP-EXE OBJDUMP ARCHITECTURE
exe=$1 objdump=$2 architecture=$3
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

headers=$("$objdump" -p "$exe") || { echo "objdump cannot read $exe"; exit 1; }
grep -qP '^Subsystem\s+00000002\s+\(Windows GUI\)' <<<"$headers" || fail "subsystem: $(grep ^Subsystem <<<"$headers")"
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr A-Z a-z | sort)
[ -n "$dlls" ] || fail "no imports found"
for dll in $dlls; do
    grep -qx -e kernel32.dll -e user32.dll -e gdi32.dll -e comctl32.dll -e ole32.dll -e msvcrt.dll <<<"$dll" ||
        fail "imports from $dll"
done

# Walks the resource tree of the PE file: prints "TYPE/NAME/LANGUAGE" for each
# resource, then the data of the first one.
resources=$(perl -e '
    local $/; open my $f, "<:raw", $ARGV[0] or die; my $pe = <$f>;
    my $h = unpack "V", substr($pe, 0x3C, 4);
    my ($sections, $optional) = unpack "x2 v x12 v", substr($pe, $h + 4, 20);
    my $opt = $h + 24;
    my $directories = $opt + (unpack("v", substr($pe, $opt, 2)) == 0x20B ? 112 : 96);  # PE32+ or PE32
    my ($rva) = unpack "V", substr($pe, $directories + 2 * 8, 4);
    exit 0 unless $rva;
    my $offset = sub {
        for my $i (0 .. $sections - 1) {
            my ($size, $va, $raw, $ptr) = unpack "x8 V V V V", substr($pe, $opt + $optional + 40 * $i, 40);
            return $_[0] - $va + $ptr if $_[0] >= $va && $_[0] < $va + ($size > $raw ? $size : $raw);
        }
        die "address outside the sections\n";
    };
    my $root = $offset->($rva);
    my @leaves;
    my $walk; $walk = sub {
        my ($dir, @path) = @_;
        my ($named, $ids) = unpack "x12 v v", substr($pe, $root + $dir, 16);
        for my $e (0 .. $named + $ids - 1) {
            my ($name, $to) = unpack "V V", substr($pe, $root + $dir + 16 + 8 * $e, 8);
            my $key = $name & 0x80000000 ? "named" : $name;
            if ($to & 0x80000000) { $walk->($to & 0x7FFFFFFF, @path, $key) }
            else { push @leaves, [join("/", @path, $key), unpack "V V", substr($pe, $root + $to, 8)] }
        }
    };
    $walk->(0);
    print "$_->[0]\n" for @leaves;
    print "--\n", substr($pe, $offset->($leaves[0][1]), $leaves[0][2]) if @leaves;
' "$exe") || fail "resource section unreadable"
[ "$(sed '/^--$/q' <<<"$resources")" = $'24/1/1033\n--' ] ||
    fail "resources are not exactly one manifest, id 1, language 1033: $(sed '/^--$/q' <<<"$resources")"

# The common controls dependency and the execution level, attributes in any order.
manifest=$(sed '1,/^--$/d' <<<"$resources" | tr '\r\n\t' '   ')
identity=$(grep -oP '<dependency>\s*<dependentAssembly>\s*<assemblyIdentity\b[^>]*>' <<<"$manifest")
for attribute in 'type="win32"' 'name="Microsoft.Windows.Common-Controls"' 'version="6.0.0.0"' \
                 "processorArchitecture=\"$architecture\"" 'publicKeyToken="6595b64144ccf1df"' 'language="*"'; do
    grep -qF " $attribute" <<<"$identity" || fail "manifest dependency lacks $attribute: ${identity:-none}"
done
level=$(grep -oP '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">\s*<security>\s*<requestedPrivileges>\s*'\
'<requestedExecutionLevel\b[^>]*>' <<<"$manifest")
for attribute in 'level="asInvoker"' 'uiAccess="false"'; do
    grep -qF " $attribute" <<<"$level" || fail "manifest's execution level lacks $attribute: ${level:-none}"
done

echo "$((failures == 0 ? 1 : 0)) passed, $((failures > 0 ? 1 : 0)) failed"
[ $failures -eq 0 ]
