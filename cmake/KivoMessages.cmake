# The message texts: one source (resources/messages.mc) for both builds.
set(KIVO_MC ${PROJECT_SOURCE_DIR}/resources/messages.mc)
set(KIVO_GEN_DIR ${CMAKE_BINARY_DIR}/gen)
file(MAKE_DIRECTORY ${KIVO_GEN_DIR})
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(_gen_outputs ${KIVO_GEN_DIR}/message_ids.h)
if(NOT WIN32)
  list(APPEND _gen_outputs ${KIVO_GEN_DIR}/message_table.cpp)
endif()
add_custom_command(
  OUTPUT ${_gen_outputs}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/gen_message_table.py ${KIVO_MC} ${_gen_outputs}
  DEPENDS ${KIVO_MC} ${PROJECT_SOURCE_DIR}/tools/gen_message_table.py
  COMMENT "Generating message ids from messages.mc")
add_custom_target(kivo_message_ids_gen DEPENDS ${_gen_outputs})

# message_ids.h: the MSG_... numbers, for every target.
add_library(kivo_message_ids INTERFACE)
target_include_directories(kivo_message_ids INTERFACE ${KIVO_GEN_DIR})
add_dependencies(kivo_message_ids kivo_message_ids_gen)

if(WIN32)
  # windmc writes messages.rc and MSG00409.bin; every Windows exe links the
  # compiled table so FormatMessage finds the texts in its own module.
  add_custom_command(
    OUTPUT ${KIVO_GEN_DIR}/messages.rc ${KIVO_GEN_DIR}/MSG00409.bin
    COMMAND ${CMAKE_MC_COMPILER} -A -h ${KIVO_GEN_DIR} -r ${KIVO_GEN_DIR} ${KIVO_MC}
    DEPENDS ${KIVO_MC}
    COMMENT "Compiling the message table")
  add_custom_command(
    OUTPUT ${KIVO_GEN_DIR}/messages.res.o
    COMMAND ${CMAKE_RC_COMPILER} -I ${KIVO_GEN_DIR} -i ${KIVO_GEN_DIR}/messages.rc -o ${KIVO_GEN_DIR}/messages.res.o
    DEPENDS ${KIVO_GEN_DIR}/messages.rc ${KIVO_GEN_DIR}/MSG00409.bin)
  add_custom_target(kivo_message_res DEPENDS ${KIVO_GEN_DIR}/messages.res.o)
else()
  # The native build looks texts up in a table generated from the same file.
  add_library(kivo_message_table STATIC ${KIVO_GEN_DIR}/message_table.cpp)
  target_include_directories(kivo_message_table PRIVATE ${PROJECT_SOURCE_DIR}/src)
endif()

# Links the message texts into an executable (Windows: as its resource).
function(kivo_link_messages target)
  if(WIN32)
    set_source_files_properties(${KIVO_GEN_DIR}/messages.res.o PROPERTIES GENERATED TRUE EXTERNAL_OBJECT TRUE)
    target_sources(${target} PRIVATE ${KIVO_GEN_DIR}/messages.res.o)
    add_dependencies(${target} kivo_message_res)
  endif()
endfunction()
