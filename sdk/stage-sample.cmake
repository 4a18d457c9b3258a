# OPENGL.DLL, the sample stage, built against the installed KELMARD SDK:
#   cmake -S <sdk>/samples/stage -B build -DCMAKE_PREFIX_PATH=<sdk> \
#         -DCMAKE_TOOLCHAIN_FILE=<your MinGW or MSVC toolchain>
# A stage does not link KELMARD.DLL: it needs the header only, and registers
# through the address in its init block. Install it as DestDir\Stages\NAME.DLL.
cmake_minimum_required(VERSION 3.21)
if(CMAKE_SOURCE_DIR STREQUAL CMAKE_CURRENT_SOURCE_DIR)
  project(SampleStage VERSION 1.0 LANGUAGES CXX)
endif()
if(NOT TARGET Kelmard::Kelmard)
  find_package(Kelmard 1.0 REQUIRED)
endif()

add_library(SampleStage SHARED opengl_stage.cpp opengl_stage.def)
target_compile_features(SampleStage PRIVATE cxx_std_17)
# The header alone: the include folder of the package, not its library.
target_include_directories(SampleStage PRIVATE $<TARGET_PROPERTY:Kelmard::Kelmard,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(SampleStage PRIVATE opengl32 gdi32 user32)
set_target_properties(SampleStage PROPERTIES OUTPUT_NAME OPENGL PREFIX "" SUFFIX ".DLL")
if(MINGW)
  target_link_options(SampleStage PRIVATE -static -static-libgcc -static-libstdc++)
endif()
