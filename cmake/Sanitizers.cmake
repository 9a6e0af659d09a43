# ASan and UBSan as an interface target; every target links it, so one switch covers the whole build.
add_library(hx350_sanitizers INTERFACE)
if(HX350_SANITIZE)
  target_compile_options(hx350_sanitizers INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                    -fno-sanitize-recover=undefined)
  target_link_options(hx350_sanitizers INTERFACE -fsanitize=address,undefined)
  # g++'s flow analysis sees the sanitizers' added branches and reports variables inside the standard
  # library (std::regex, std::function) as maybe uninitialized; the plain build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(hx350_sanitizers INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()

# Options every project target takes.
add_library(hx350_options INTERFACE)
target_link_libraries(hx350_options INTERFACE hx350_warnings hx350_sanitizers)
