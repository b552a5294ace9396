# The lookup lists (rules and window).
ph_add_test(lookup_lists_test DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/lookup_lists_test.cpp LIBS ph_catalogue_ui LABELS gui)
