#pragma once

// The ids of the string tables, one name each. The Chinese table in the program and the English table of
// ResEng.so hold the same ids. Ids of commands double as the ids of their status-bar prompts, and the
// results of a copy (plotdata/ResultCodes.h) as the ids of their texts.
namespace strings {

// Window titles of the editions.
constexpr int IDS_TITLE_GENERIC = 128;
constexpr int IDS_TITLE_EDITION_3 = 129;
constexpr int IDS_TITLE_EDITION_2 = 130;
constexpr int IDS_TITLE_EDITION_1 = 131;

// Column titles of the lists.
constexpr int IDS_COLUMN_AUTOMATIC = 20000;
constexpr int IDS_COLUMN_MANUAL = 20001;
constexpr int IDS_COLUMN_PATH = 20002;
constexpr int IDS_COLUMN_LENGTH = 20003;
constexpr int IDS_COLUMN_SECTION = 20004;
constexpr int IDS_COLUMN_COPIES = 20005;
constexpr int IDS_COLUMN_STATE = 20006;

// Job states and the progress of a copy.
constexpr int IDS_STATE_WAITING = 20011;
constexpr int IDS_STATE_FINISHED = 20012;
constexpr int IDS_PROGRESS = 20013;
constexpr int IDS_STATE_STANDBY = 20014;

// The port of a copy could not be opened: port and reason.
constexpr int IDS_PORT_OPEN_FAILED = 20100;
// A copy ended by a stop before all of it was sent.
constexpr int IDS_STOPPED = 20101;
// Server.INI could not be written: its path.
constexpr int IDS_MEDIA_NOT_SAVED = 20102;
// The device takes no data: the bytes of the copy that are out.
constexpr int IDS_DEVICE_STALLED = 20103;
// The port of a copy failed during output: port and reason.
constexpr int IDS_PORT_WRITE_FAILED = 20104;
// Nothing of a copy's drawing lies on the media.
constexpr int IDS_NOTHING_ON_MEDIA = 20105;
// Why a port could not be opened or written: the port's device or file, and for permissions the group
// that owns the device.
constexpr int IDS_PORT_IN_USE = 20106;
constexpr int IDS_PORT_PERMISSION_DENIED = 20107;
constexpr int IDS_PORT_NO_DEVICE = 20108;
constexpr int IDS_PORT_NO_FILE_CHOSEN = 20109;
constexpr int IDS_PORT_PROTECTED_FILE = 20110;
constexpr int IDS_PORT_HUNG_UP = 20111;
// What a device that talks back said, or failed to say: why a pass failed, and its state while the program
// waits for it.
constexpr int IDS_DEVICE_NO_ANSWER = 20112;
constexpr int IDS_DEVICE_BAD_ANSWER = 20113;
constexpr int IDS_DEVICE_DRAWING = 20114;
constexpr int IDS_DEVICE_VIEW_PRESSED = 20115;
constexpr int IDS_DEVICE_LEVER_UP = 20116;
constexpr int IDS_DEVICE_BUFFER_OVERFLOW = 20117;
constexpr int IDS_DEVICE_LINE_ERROR = 20118;
constexpr int IDS_DEVICE_CONTROL_ERROR = 20119;
constexpr int IDS_DEVICE_HPGL_ERROR = 20120;
// The device check: what the device answered, and the handshake to choose.
constexpr int IDS_PROBE_IDENTITY = 20121;
constexpr int IDS_PROBE_BUFFER = 20122;
constexpr int IDS_PROBE_READY = 20123;
constexpr int IDS_PROBE_CHOOSE_BUFFER_QUERY = 20124;
constexpr int IDS_PROBE_SILENT = 20125;
constexpr int IDS_PROBE_NO_BUFFER_QUERY = 20126;

// The plot journal could not be written: its path and the reason.
constexpr int IDS_JOURNAL_NOT_SAVED = 20140;

// Remaining media in the status bar.
constexpr int IDS_REMAINING_MM = 20500;
constexpr int IDS_REMAINING_INCH = 20501;

// The idle prompt of the status bar, and why a close request is refused.
constexpr int IDS_READY = 20600;
constexpr int IDS_CLOSE_REFUSED = 20601;
constexpr int IDS_LANGUAGE_REFUSED = 20602;
constexpr int IDS_FRAME_FAILED = 20603;
// Another Marquill holds the settings folder: the folder and its process id.
constexpr int IDS_ALREADY_RUNNING = 20604;
// A settings file could not be written: its path.
constexpr int IDS_SETTINGS_NOT_SAVED = 20605;
// A job is longer than the media left on the roll.
constexpr int IDS_RELOAD_ROLL_NOW = 20606;
// The tool tip of the media bar: the remaining length as the status bar shows it.
constexpr int IDS_MEDIA_LEFT = 20607;
// The progress pane of the copy in output: which copy of how many, and the plotting time left.
constexpr int IDS_COPY_OF = 20608;
constexpr int IDS_TIME_LEFT = 20609;

// The title of the application: the caption of its message boxes.
constexpr int IDS_APP_TITLE = 57344;

// File errors, one per kind; %1 is the file's path.
constexpr int IDS_FILE_ERROR_FIRST = 61857;
constexpr int IDS_FILE_ERROR_LAST = 61870;

} // namespace strings
