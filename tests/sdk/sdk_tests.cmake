# The SDK's tests (tests/sdk/sdk-test.sh): install the build into a fresh
# prefix, then use only that prefix, as a plug-in developer would. Included
# by tests/CMakeLists.txt in both Windows builds; the 32-bit build links and
# inspects, the x86_64 build also runs under Wine.
find_program(KELMARD_CLANG NAMES clang clang-14 REQUIRED)
find_program(KELMARD_LLD_LINK NAMES lld-link lld-link-14 REQUIRED)
find_program(KELMARD_READOBJ NAMES llvm-readobj llvm-readobj-14 REQUIRED)
set(sdk_script ${CMAKE_CURRENT_LIST_DIR}/sdk-test.sh)
set(sdk_work ${CMAKE_BINARY_DIR}/sdk-test)
set(sdk_prefix ${sdk_work}/prefix)

add_test(NAME sdk-install COMMAND bash ${sdk_script} install ${CMAKE_BINARY_DIR} ${sdk_prefix})
set_tests_properties(sdk-install PROPERTIES FIXTURES_SETUP sdk TIMEOUT 120)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 32-bit programs cannot run here: the link and its import table are checked.
  add_test(NAME sdk-msvc-i686
    COMMAND bash ${sdk_script} msvc i686-pc-windows-msvc ${sdk_prefix} ${sdk_work}/msvc
            ${KELMARD_CLANG} ${KELMARD_LLD_LINK} ${KELMARD_READOBJ})
  set_tests_properties(sdk-msvc-i686 PROPERTIES FIXTURES_REQUIRED sdk TIMEOUT 120)
elseif(DEFINED KELMARD_WINE)
  add_test(NAME sdk-msvc-x64
    COMMAND bash ${sdk_script} msvc x86_64-pc-windows-msvc ${sdk_prefix} ${sdk_work}/msvc
            ${KELMARD_CLANG} ${KELMARD_LLD_LINK} ${KELMARD_READOBJ} ${KELMARD_HARNESS} ${KELMARD_WINE_STATE})
  set_tests_properties(sdk-msvc-x64 PROPERTIES FIXTURES_REQUIRED "sdk;wine" RESOURCE_LOCK intercom TIMEOUT 120)
  add_test(NAME sdk-consumer
    COMMAND bash ${sdk_script} consumer ${sdk_prefix} ${sdk_work}/consumer ${CMAKE_TOOLCHAIN_FILE}
            ${KELMARD_HARNESS} ${KELMARD_WINE_STATE})
  set_tests_properties(sdk-consumer PROPERTIES FIXTURES_REQUIRED "sdk;wine"
                       RESOURCE_LOCK "registry;intercom;desktop" TIMEOUT 300)
endif()
