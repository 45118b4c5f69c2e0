# Installs the build into a fresh prefix and checks what a desktop finds there:
# the program, which answers --help and --version without a display, the
# desktop entry and the AppStream metadata under their validators, and the
# icon at every size.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DAPP_ID=... -DVERSION=... -P check_install.cmake

# Runs a command; fails unless it ends with 0. Its output goes to out_var.
function(run out_var)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${ARGN} ended with ${result}:\n${output}${errors}")
    endif()
    set(${out_var} "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
run(ignored ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}")

set(program "${PREFIX}/bin/plinthos")
if(NOT EXISTS "${program}")
    message(FATAL_ERROR "no ${program}")
endif()
set(no_display ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)
run(help ${no_display} "${program}" --help)
if(NOT help MATCHES "Usage: .*plinthos.*--version")
    message(FATAL_ERROR "--help printed:\n${help}")
endif()
run(version ${no_display} "${program}" --version)
if(NOT version STREQUAL "plinthos ${VERSION}\n")
    message(FATAL_ERROR "--version printed: ${version}")
endif()

set(desktop "${PREFIX}/share/applications/${APP_ID}.desktop")
run(ignored desktop-file-validate "${desktop}")
file(STRINGS "${desktop}" icon_line REGEX "^Icon=")
if(NOT icon_line STREQUAL "Icon=${APP_ID}")
    message(FATAL_ERROR "the desktop entry names the icon ${icon_line}")
endif()
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
run(ignored appstreamcli validate --no-net "${metainfo}")
file(READ "${metainfo}" metadata)
if(NOT metadata MATCHES "<project_license>MIT</project_license>")
    message(FATAL_ERROR "the metadata names no MIT licence")
endif()

# The chart file's MIME type: shared-mime-info takes it, and the desktop entry opens it.
run(ignored update-mime-database "${PREFIX}/share/mime")
file(STRINGS "${PREFIX}/share/mime/globs2" globs REGEX "application/x-plinthos-chart:\\*\\.plinthos$")
file(STRINGS "${desktop}" mime_line REGEX "^MimeType=")
if(NOT globs OR NOT mime_line MATCHES "^MimeType=application/x-plinthos-chart")
    message(FATAL_ERROR "*.plinthos is not registered: globs ${globs}, desktop entry ${mime_line}")
endif()

foreach(size 16 32 48 64 128 256)
    set(icon "${PREFIX}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png")
    if(NOT EXISTS "${icon}")
        message(FATAL_ERROR "no ${icon}")
    endif()
    # A PNG's width and height are the first two words of its header chunk.
    file(READ "${icon}" header OFFSET 16 LIMIT 8 HEX)
    math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" expected "${expected}")
    string(LENGTH "${expected}" digits)
    math(EXPR padding "8 - ${digits}")
    string(REPEAT "0" ${padding} zeros)
    if(NOT header STREQUAL "${zeros}${expected}${zeros}${expected}")
        message(FATAL_ERROR "${icon} is not ${size} x ${size}: ${header}")
    endif()
endforeach()
file(READ "${PREFIX}/share/icons/hicolor/scalable/apps/${APP_ID}.svg" svg)
if(NOT svg MATCHES "<svg")
    message(FATAL_ERROR "the scalable icon is no SVG")
endif()

file(REMOVE_RECURSE "${PREFIX}")
