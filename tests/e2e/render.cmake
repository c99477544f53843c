# vennoroll-render and the progress display. The renderer under test loads the
# bank of this build tree; the tests that need sound skip when it is missing.
set(VENNOR_TEST_BANK ${VENNOR_BANK_FILE})
vennor_add_renderer(vennoroll-render-testbank "${VENNOR_TEST_BANK}")
if(TARGET vennorbank_sf2)
  add_dependencies(vennoroll-render-testbank vennorbank_sf2)
endif()

file(GLOB RENDER_TEST_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/render_*_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress_*_test.cpp)
add_executable(render_tests ${RENDER_TEST_SOURCES} ${CMAKE_CURRENT_LIST_DIR}/../../render/render.cpp)
vennor_add_font(render_tests "${VENNOR_TEST_BANK}")
target_link_libraries(render_tests PRIVATE rollpicture PkgConfig::FLUIDSYNTH GTest::gtest GTest::gtest_main util)
# The picture tests read SVGs and PDFs with other programs than the one that wrote them.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(PDFINFO pdfinfo REQUIRED)
find_program(XMLLINT xmllint REQUIRED)
find_program(PDFTOPPM pdftoppm REQUIRED)
target_compile_definitions(render_tests PRIVATE
  RSVG_CONVERT="${RSVG_CONVERT}" PDFINFO="${PDFINFO}" XMLLINT="${XMLLINT}" PDFTOPPM="${PDFTOPPM}")
# The build tree's paths, given at run time (render_e2e_support.h).
vennor_test_paths(render_tests
  RENDER_BIN=$<TARGET_FILE:vennoroll-render-testbank>
  VENNOROLL_BIN=$<TARGET_FILE:vennoroll>
  BANK_PATH=${VENNOR_TEST_BANK})
add_dependencies(render_tests vennoroll-render-testbank vennoroll)
# Every program run inside has its own timeout; this one bounds a whole test.
gtest_discover_tests(render_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)

# The page's script, checked by Node.js as JavaScript.
find_program(VENNOR_NODE node)
if(VENNOR_NODE)
  add_test(NAME PageScript.JavaScriptSyntax
    COMMAND ${VENNOR_NODE} --check ${PROJECT_SOURCE_DIR}/render/page.js)
endif()

# The page in real browsers: Debian's Chromium and Firefox ESR, driven by
# page/driver.mjs through npm's puppeteer-core (scripts/test.sh installs it
# from page/package-lock.json). Label "browser", to run or skip as a group.
find_program(VENNOR_CHROMIUM chromium)
find_program(VENNOR_FIREFOX firefox-esr)
set(VENNOR_PAGE_DRIVER ${CMAKE_CURRENT_LIST_DIR}/page/driver.mjs)
if(VENNOR_NODE AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/page/node_modules/puppeteer-core
   AND (VENNOR_CHROMIUM OR VENNOR_FIREFOX))
  add_executable(page_tests ${CMAKE_CURRENT_LIST_DIR}/page_browser_test.cpp)
  vennor_add_font(page_tests "${VENNOR_TEST_BANK}")
  target_link_libraries(page_tests PRIVATE rollpicture GTest::gtest GTest::gtest_main)
  # A browser that is missing is an empty path: its rows skip themselves.
  foreach(browser CHROMIUM FIREFOX)
    if(NOT VENNOR_${browser})
      set(VENNOR_${browser} "")
    endif()
  endforeach()
  vennor_test_paths(page_tests
    NODE=${VENNOR_NODE}
    PAGE_DRIVER=${VENNOR_PAGE_DRIVER}
    CHROMIUM=${VENNOR_CHROMIUM}
    FIREFOX=${VENNOR_FIREFOX}
    RENDER_BIN=$<TARGET_FILE:vennoroll-render-testbank>
    VENNOROLL_BIN=$<TARGET_FILE:vennoroll>
    BANK_PATH=${VENNOR_TEST_BANK}
    VENNOR_DEMO_ROLL=${VENNOR_DEMO_ROLL})
  add_dependencies(page_tests demo_roll)
  add_dependencies(page_tests vennoroll-render-testbank)
  gtest_discover_tests(page_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 LABELS browser)
else()
  message(STATUS "No node, page/node_modules (scripts/test.sh runs npm ci), or browser: "
                 "the page's browser test is left out")
endif()
