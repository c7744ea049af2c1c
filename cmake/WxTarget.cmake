# One interface target, vrz_wx, that carries wxWidgets' include paths, flags and libraries.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS core base adv html)
add_library(vrz_wx INTERFACE)
target_include_directories(vrz_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(vrz_wx INTERFACE ${wxWidgets_DEFINITIONS})
separate_arguments(_vrz_wx_flags UNIX_COMMAND "${wxWidgets_CXX_FLAGS}")
target_compile_options(vrz_wx INTERFACE ${_vrz_wx_flags})
target_link_libraries(vrz_wx INTERFACE ${wxWidgets_LIBRARIES})
