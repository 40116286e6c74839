#pragma once

// Commands of the automatic list. 32784 is private: the start commands post it to the list, and its
// handler is the run.
constexpr int ID_PLOT_START = 32771; // start, one job
constexpr int ID_PLOT_PAUSE = 32772;
constexpr int ID_PLOT_STOP = 32773;
constexpr int ID_JOB_DELETE = 32774;
constexpr int ID_JOB_DELETE_ALL = 32775;
constexpr int ID_FIND_PLOT_DATA = 32778; // scan the receive folder
constexpr int ID_ADD_COPY = 32782;
constexpr int ID_REMOVE_COPY = 32783;
constexpr int ID_RUN = 32784;
constexpr int ID_PLOT_START_PAGE_PAUSE = 32786; // start with a pause between pages
constexpr int ID_PLOT_AUTOMATIC = 32787;        // automatic sequence
constexpr int ID_CLEAN_TEMPORARY = 32789;
constexpr int ID_PATH_SETTINGS = 32790;
constexpr int ID_RELOAD_MEDIA = 32791;
constexpr int ID_OUTPUT_SETTINGS = 32792;

// The command of the manual list: send the selected job to the automatic queue.
constexpr int ID_SEND_TO_AUTOMATIC = 32796;
