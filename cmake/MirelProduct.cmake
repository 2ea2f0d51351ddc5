# The product: one static library per variant holding core/ and mirelctrl/,
# and the shared library of each variant made from it.
#   mirelcore   -> MirelCtrl   (release: assertions off)
#   mirelcore_d -> MirelCtrlD  (debug: MIREL_DEBUG, assertions on)
file(GLOB_RECURSE MIREL_PRODUCT_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/core/*.cpp ${PROJECT_SOURCE_DIR}/mirelctrl/*.cpp)
set(MIREL_DEF_FILE ${PROJECT_SOURCE_DIR}/mirelctrl/mirelctrl/mirelctrl.def)

function(mirel_add_product core_target dll_name debug)
  add_library(${core_target} STATIC ${MIREL_PRODUCT_SOURCES})
  target_include_directories(${core_target} PUBLIC ${PROJECT_SOURCE_DIR}/core ${PROJECT_SOURCE_DIR}/mirelctrl)
  target_compile_definitions(${core_target} PUBLIC MIREL_BUILDING_LIBRARY $<IF:${debug},MIREL_DEBUG,NDEBUG>)
  target_link_libraries(${core_target} PUBLIC ${MIREL_SYSTEM_LIBS} PRIVATE mirel_warnings mirel_sanitize)
  if(NOT WIN32)
    target_compile_options(${core_target} PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
  endif()

  if(WIN32)
    add_library(${dll_name} SHARED ${MIREL_DEF_FILE})
    set_target_properties(${dll_name} PROPERTIES PREFIX "" LINKER_LANGUAGE CXX)
    target_link_options(${dll_name} PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
    if(NOT ${debug})
      target_link_options(${dll_name} PRIVATE -s)  # the release DLL ships without symbols
    endif()
  else()
    add_library(${dll_name} SHARED ${PROJECT_SOURCE_DIR}/mirelctrl/mirelctrl/mirelctrl.def)
    set_target_properties(${dll_name} PROPERTIES LINKER_LANGUAGE CXX)
    target_link_options(${dll_name} PRIVATE -Wl,-Bsymbolic)
    # Every symbol resolved when the library is linked; in the fuzz build the
    # sanitizer and coverage runtimes are linked into the program that loads
    # it instead, so their symbols are left to the loader there.
    if(NOT MIREL_FUZZ)
      target_link_options(${dll_name} PRIVATE -Wl,--no-undefined)
    endif()
  endif()
  target_link_libraries(${dll_name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${core_target}>" mirel_sanitize)
endfunction()

mirel_add_product(mirelcore MirelCtrl 0)
mirel_add_product(mirelcore_d MirelCtrlD 1)
