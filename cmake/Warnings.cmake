# SPDX-FileCopyrightText: 2026 The Veyrath authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Applied to every target of this project through veyrath_settings().
add_library(veyrath_settings INTERFACE)
target_compile_options(veyrath_settings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                  -Wnon-virtual-dtor -Wold-style-cast
                                                  -Wcast-align -Wimplicit-fallthrough)
target_compile_definitions(veyrath_settings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS
                                                      QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(VEYRATH_WERROR)
    target_compile_options(veyrath_settings INTERFACE -Werror)
endif()
if(VEYRATH_FORCE_ASSERTS)
    target_compile_definitions(veyrath_settings INTERFACE QT_FORCE_ASSERTS)
endif()
if(VEYRATH_SANITIZE)
    target_compile_options(veyrath_settings INTERFACE -fsanitize=address,undefined
                                                      -fno-sanitize-recover=undefined
                                                      -fno-omit-frame-pointer)
    target_link_options(veyrath_settings INTERFACE -fsanitize=address,undefined)
endif()
if(VEYRATH_FUZZ)
    # Coverage for libFuzzer in every library the fuzz targets reach.
    target_compile_options(veyrath_settings INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                      -fno-omit-frame-pointer)
    target_link_options(veyrath_settings INTERFACE -fsanitize=address,undefined)
endif()
