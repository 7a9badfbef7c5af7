#!/usr/bin/env bash
# The Debian package as shipped, into WORK_FOLDER/package: an incremental release build (never the sanitizer build)
# packaged by CPack.   build_package.sh SOURCE_FOLDER WORK_FOLDER GENERATOR CXX_COMPILER CMAKE CPACK
set -euo pipefail
source_folder="$1" work="$2" generator="$3" compiler="$4" cmake="$5" cpack="$6"

"$cmake" -S "$source_folder" -B "$work/build" -G "$generator" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  -DVESKORA_SANITIZE=OFF -DVESKORA_BUILD_TESTS=OFF > /dev/null
"$cmake" --build "$work/build" -j "$(nproc)"
rm -rf "$work/package"
(cd "$work/build" && "$cpack" -G DEB -B "$work/package")
