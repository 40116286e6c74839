#pragma once

// Results of the operations whose failures the user must see. A failure is the id of its text in the
// program's string table; the caller stores it in the job and the text becomes the job's state.
enum ResultCode : int {
    RESULT_OK = 0,
    RESULT_NOT_ENOUGH_MEDIA = 32779,   // "没有足够的材料进行绘图工作！"
    RESULT_DATA_BUILD_FAILED = 32780,  // "数据建立失败(程序出错)!"
    RESULT_FILTER_READ_FAILED = 32781, // "动态库过滤读失败!"
    RESULT_LIBRARY_FAILED = 32784,     // "动态库调动失败 / 没有找到动态库!"
    RESULT_EMPTY_JOB_ITEM = 32788,     // "空的工作数据项!"
    // A pass could not open its port; the job's text is filled with the port and the reason.
    RESULT_PORT_OPEN_FAILED = 20100,
    // A stop ended the copy before all of it was sent: it is not counted as plotted.
    RESULT_STOPPED = 20101,
    // The port could take no more data (hung up, broken pipe, no space left); the job's text is filled
    // with the port and the reason.
    RESULT_PORT_WRITE_FAILED = 20104,
    // Nothing of the drawing lies on the media: nothing was sent.
    RESULT_NOTHING_ON_MEDIA = 20105,
};
