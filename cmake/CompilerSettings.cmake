# One set of compiler rules for every target of the tree.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Wno-missing-field-initializers)
endif()
# The program is an ANSI (Windows-1252) program: every narrow literal reaches it as CP1252
# bytes. Clang cannot do this, so it builds only trees without the program's texts (fuzzing).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fexec-charset=CP1252>)
elseif(MSVC)
  # /utf-8 would set the execution character set too, and cl rejects a second one.
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:/W4> $<$<COMPILE_LANGUAGE:C,CXX>:/source-charset:utf-8>
                      $<$<COMPILE_LANGUAGE:CXX>:/execution-charset:windows-1252>)
endif()

if(MEMOTAB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MEMOTAB_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
