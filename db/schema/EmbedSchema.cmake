# cmake -DSCHEMA=sqlite.sql -DTEMPLATE=EmbeddedSchema.cpp.in -DOUTPUT=EmbeddedSchema.cpp -P EmbedSchema.cmake
# The schema goes into a raw string literal; its closing delimiter must not occur in it.
file(READ "${SCHEMA}" KORVEL_SCHEMA_SQL)
string(FIND "${KORVEL_SCHEMA_SQL}" ")korvel_schema\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${SCHEMA} holds the raw string delimiter )korvel_schema\"")
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
