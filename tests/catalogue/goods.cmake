# The goods master: goods codes and the goods rules, the drug list and the drug entry dialog.
ph_add_test(goods_test DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/goods_test.cpp LIBS ph_catalogue LABELS db)
ph_add_test(darou_test DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/darou_test.cpp LIBS ph_catalogue_ui LABELS gui)
