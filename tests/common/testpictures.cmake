# The picture writers shared by the browser and conversion tests.
if(NOT TARGET velumbra_testpictures)
  find_package(ZLIB REQUIRED)
  add_library(velumbra_testpictures STATIC ${CMAKE_CURRENT_LIST_DIR}/testpictures.cpp)
  target_include_directories(velumbra_testpictures PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(velumbra_testpictures PUBLIC Qt6::Gui PRIVATE ZLIB::ZLIB)
endif()
