# Compiler settings shared by every target.
add_compile_options(-Wall -Wextra)

# Narrow literals are code page 932 at run time; sources are UTF-8. Clang only knows UTF-8
# execution character sets, so the clang (fuzzing) build keeps UTF-8 texts.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932)
endif()

if(WIN32)
  # Everything runs without the mingw runtime DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# The fuzz build instruments every portable library with the sanitizers and coverage.
if(TOLVEX_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-sanitize-recover=undefined -g)
  add_link_options(-fsanitize=address,undefined)
endif()
