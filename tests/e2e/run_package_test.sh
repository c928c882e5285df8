#!/bin/sh
# Unpacks the distribution ZIP with Info-ZIP's unzip, as a user would, into a
# folder whose name has blanks inside the test prefix, then runs the package
# tests on it there. Arguments: package_tests.exe, norvanel.zip.
set -eu
tests=$1 zip=$2
folder="${WINEPREFIX:?the test prefix is not set}/drive_c/Varnok Tools/Norvane 1.1b"
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
NORVANE_PACKAGE='C:\Varnok Tools\Norvane 1.1b\' exec wine "$tests"
