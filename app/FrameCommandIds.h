#pragma once

// Commands of the frame and the application; the job commands are in jobs/JobCommandIds.h.
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_LANGUAGE_ENGLISH = 32797;
constexpr int ID_LANGUAGE_CHINESE = 32798;

// Items of the reserved submenu that nothing handles: shown, always disabled.
constexpr int ID_RESERVED_NEW_JOB = 32779;
constexpr int ID_RESERVED_NO_EXIT = 32781;
constexpr int ID_RESERVED_AUTO_EXIT = 32780;
constexpr int ID_RESERVED_NO_AUTO_CUT = 32785;
constexpr int ID_RESERVED_PAGE_PAUSE = 32777;
