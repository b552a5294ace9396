# Insurers and contracts, tariffs, insurer-drug rules, doctors, the social-security number, demo data.
ph_add_test(ins_no_test SOURCES ins_no_test.cpp LIBS ph_insurance_ui LABELS gui)
ph_add_test(insurance_rules_test DB SOURCES insurance_rules_test.cpp LIBS ph_insurance ph_dispensing)
ph_add_test(insurance_windows_test DB SOURCES insurance_windows_test.cpp LIBS ph_insurance_ui LABELS gui)
ph_add_test(demo_command_test DB SOURCES demo_command_test.cpp LIBS ph_cli ph_insurance)
