# ASan and UBSan as an interface target; every target links it, so one switch covers the whole build.
add_library(hx350_sanitizers INTERFACE)
if(HX350_SANITIZE)
  target_compile_options(hx350_sanitizers INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=undefined)
  target_link_options(hx350_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# Options every project target takes.
add_library(hx350_options INTERFACE)
target_link_libraries(hx350_options INTERFACE hx350_warnings hx350_sanitizers)
