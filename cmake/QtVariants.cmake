# A library built once for each Qt it is shown with: Qt 6 in velhost, Qt 5 inside LibreCAD. The
# dialogs' back end (ui/) and the painter (vel/painter/) are built through it.
#   orvanta_qt_library(TARGET QT_MAJOR SOURCES ... [PUBLIC libs...] [PRIVATE libs...])
function(orvanta_qt_library target qt)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;PUBLIC;PRIVATE")
  add_library(${target} STATIC ${arg_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC Qt${qt}::Widgets ${arg_PUBLIC} PRIVATE ${arg_PRIVATE})
  set_target_properties(${target} PROPERTIES AUTOMOC ON CXX_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON)
endfunction()
