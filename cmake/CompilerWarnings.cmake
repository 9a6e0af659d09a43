# Warnings as an interface target, linked privately by every target of the project.
add_library(hx350_warnings INTERFACE)
target_compile_options(hx350_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                -Wold-style-cast -Wcast-align -Woverloaded-virtual)
if(HX350_WERROR)
  target_compile_options(hx350_warnings INTERFACE -Werror)
endif()
