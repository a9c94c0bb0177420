# Explicit source lists: each subsystem folder lists its own files in its sources.cmake.
set(LUMISTO_CORE_SOURCES)
set(LUMISTO_UI_SOURCES)
foreach(folder base imaging browse widgets styles compose edit sources output batch app assets)
  include(${CMAKE_CURRENT_LIST_DIR}/../${folder}/sources.cmake OPTIONAL)
endforeach()
