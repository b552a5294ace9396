cmake_minimum_required(VERSION 3.25)
# The layers as the include lines draw them (run with cmake -DSRC=<src folder> -P):
# - the rule libraries (core, db, each subsystem outside its ui/ folder) and pharmacyctl
#   include no widgets header: neither ours (widgets/, any ui/ folder) nor Qt's;
# - the windows (every ui/ folder and the application shell in app/) include no db/ header:
#   they reach the database through the stores of the rule libraries. The shell's start-up is
#   the one place that opens the connection and brings the schema up to date, so it and the
#   login window that owns the connection for the run are the named exceptions below.
# - the prints (the report engine in print/, each subsystem's layouts in its print/ folder) are
#   drawn like windows: they read through the rule libraries' stores;
# - the report engine (print/) is a low layer: it includes no subsystem's header (only core/ and
#   its own), so that a document's layout lives beside the subsystem it prints.
if(NOT SRC)
  message(FATAL_ERROR "layers_check: SRC is not set")
endif()

set(widget_headers "^(widgets/|[a-z_]+/ui/)|^Qt(Widgets|PrintSupport)/|^Q(Widget|Dialog|Application|MainWindow|MessageBox|LineEdit|Label|PushButton|AbstractButton|TableView|TreeView|ListView|AbstractItemView|HeaderView|ComboBox|CheckBox|RadioButton|ListWidget|TreeWidget|TableWidget|Menu|MenuBar|ToolBar|ToolButton|StatusBar|StyledItemDelegate|FormLayout|HBoxLayout|VBoxLayout|BoxLayout|GridLayout|GroupBox|Frame|FileDialog|ProgressDialog|ColorDialog|FontDialog|Printer|PrintDialog|PrintPreviewDialog|ScrollArea|Splitter|StackedWidget|TabWidget|TextEdit|PlainTextEdit|SpinBox|DateEdit)$")
# file (relative to src) -> the db/ headers it may include
set(allowed_app/startup_sequence.h "db/database.h")
set(allowed_app/startup_sequence.cpp "db/database.h;db/legacy_upgrades.h;db/schema.h")
set(allowed_app/fmmain.cpp "db/database.h")

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
# The folders of src/ other than core/ and print/: what the report engine may not include.
file(GLOB folders RELATIVE "${SRC}" LIST_DIRECTORIES true "${SRC}/*")
set(above_engine "")
foreach(folder IN LISTS folders)
  if(IS_DIRECTORY "${SRC}/${folder}" AND NOT folder MATCHES "^(core|print)$")
    list(APPEND above_engine "${folder}")
  endif()
endforeach()
list(JOIN above_engine "|" above_engine)
set(faults "")
set(checked 0)
foreach(file IN LISTS sources)
  set(kind "")
  set(engine FALSE)
  if(file MATCHES "^print/")
    set(engine TRUE)
  endif()
  if(file MATCHES "^[a-z_]+/(ui|print)/" OR file MATCHES "^(app|print)/")
    set(kind window)
  elseif(file MATCHES "^(core|db|cli)/" OR (file MATCHES "^[a-z_]+/" AND NOT file MATCHES "^widgets/"))
    set(kind rules)
  else()
    continue()
  endif()
  math(EXPR checked "${checked} + 1")
  file(STRINGS "${SRC}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*$" "\\1" header "${line}")
    if(engine AND header MATCHES "^(${above_engine})/")
      list(APPEND faults "${file}: the report engine includes the subsystem header ${header}")
    endif()
    if(kind STREQUAL "rules" AND header MATCHES "${widget_headers}")
      list(APPEND faults "${file}: a rule library includes the widgets header ${header}")
    elseif(kind STREQUAL "window" AND header MATCHES "^db/")
      if(NOT header IN_LIST allowed_${file})
        list(APPEND faults "${file}: a window includes the database header ${header}")
      endif()
    endif()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "layers_check: no source found under ${SRC}")
endif()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that cross the layers:\n  ${text}")
endif()
message(STATUS "layers_check: ${checked} files, no include crosses the layers")
