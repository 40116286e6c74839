#include "net/StatusPageHtml.h"
#include "jobs/CPlotJob.h"

#include <gmock/gmock.h>

#include <cstdlib>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

QueueSnapshot::Job job(std::string path, std::uint16_t state, std::string text)
{
    QueueSnapshot::Job job;
    job.path = std::move(path);
    job.state = state;
    job.stateText = std::move(text);
    job.copies = 3;
    job.copiesDone = 1;
    return job;
}

PreviewCell svg(std::string markup)
{
    PreviewCell cell;
    cell.svg = std::move(markup);
    return cell;
}

PreviewCell note(std::string text)
{
    PreviewCell cell;
    cell.note = std::move(text);
    return cell;
}

class StatusPageHtmlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("TZ", "UTC0", 1);
        ::tzset();
    }
};

} // namespace

TEST_F(StatusPageHtmlTest, EscapesEveryCharacterThatMeansSomethingInHtml)
{
    EXPECT_EQ(htmlEscape("a<b>&\"c'd"), "a&lt;b&gt;&amp;&quot;c&#39;d");
    EXPECT_EQ(htmlEscape("&amp;"), "&amp;amp;");
    // UTF-8 passes whole; control characters, which a file name may carry, do not reach the page.
    EXPECT_EQ(htmlEscape("图\x1b[31m\r.plt"), "图\ufffd[31m\ufffd.plt");
}

TEST_F(StatusPageHtmlTest, TextsFromFilesJobsAndTheJournalAreEscapedAndFoldersLeftOut)
{
    QueueSnapshot snapshot;
    snapshot.device = "Cutter <A&B>";
    snapshot.jobs.push_back(job("C:\\Receive\\<script src=x>.plt", CPlotJob::STATE_WAITING, "wait <now>"));
    snapshot.jobs.push_back(job("/srv/in/a\"b'.plt", CPlotJob::STATE_FAILED, "port \"LPT1\" & more"));
    snapshot.failures.push_back(
        {.path = "/srv/in/<i>.plt", .text = "<img src=x>", .number = 2, .copies = 3, .ended = 0});
    NetworkJobJournal::Job received;
    received.id = 12;
    received.name = "<b>a</b>";
    received.user = "x&y";
    received.ended = 86400;
    received.state = NetworkJobJournal::ABORTED;
    received.message = "<no>";
    const std::string page = statusPageHtml(snapshot, {}, {received}, 5);

    EXPECT_THAT(page, HasSubstr("<td class=\"name\">&lt;script src=x&gt;.plt</td>"));
    EXPECT_THAT(page, HasSubstr("<td class=\"name\">a&quot;b&#39;.plt</td>"));
    EXPECT_THAT(page, HasSubstr("<td class=\"state\">wait &lt;now&gt;</td>"));
    EXPECT_THAT(page, HasSubstr("port &quot;LPT1&quot; &amp; more"));
    EXPECT_THAT(page, HasSubstr("Device: Cutter &lt;A&amp;B&gt;"));
    EXPECT_THAT(page, HasSubstr("<td>-</td><td>&lt;i&gt;.plt</td><td>2/3</td><td>&lt;img src=x&gt;</td>"));
    EXPECT_THAT(page, HasSubstr("<tr><td>12</td><td>&lt;b&gt;a&lt;/b&gt;</td><td>x&amp;y</td><td>1</td>"
                                "<td>aborted: &lt;no&gt;</td><td>1970-01-02 00:00:00</td></tr>"));
    for (const char* raw : {"<script", "<img", "<i>", "<b>", "<no>", "Receive", "/srv"})
        EXPECT_THAT(page, Not(HasSubstr(raw)));
}

TEST_F(StatusPageHtmlTest, ShowsStatesCopiesSizesPreviewsRollAndReload)
{
    QueueSnapshot snapshot;
    snapshot.mediaLeft = 2540;
    snapshot.inchUnits = true;
    snapshot.taken = 86400;
    snapshot.jobs.push_back(job("/in/a.plt", CPlotJob::STATE_WAITING, "copy 1"));
    snapshot.jobs.back().running = true;
    snapshot.jobs.back().length = 254;
    snapshot.jobs.back().width = 127;
    snapshot.jobs.back().secondsLeft = 65.2;
    snapshot.jobs.push_back(job("/in/b.plt", CPlotJob::STATE_FINISHED, "done"));
    snapshot.jobs.push_back(job("/in/c.plt", CPlotJob::STATE_STANDBY, "no media"));
    NetworkJobJournal::Job waiting;
    waiting.id = 3;
    waiting.name = "drawing.plt";
    waiting.copies = 2;
    const std::string page =
        statusPageHtml(snapshot, {svg("<svg id=\"p\"></svg>"), note("Gone <now>.")}, {waiting}, 7);

    EXPECT_THAT(page, HasSubstr("<meta http-equiv=\"refresh\" content=\"7\">"));
    EXPECT_THAT(page, HasSubstr("<p id=\"roll\">Roll left: 100.00 In</p>"));
    EXPECT_THAT(
        page,
        HasSubstr("<tr class=\"job running\"><td class=\"name\">a.plt</td><td class=\"state\">copy 1"
                  "</td><td class=\"copies\">1/3</td><td class=\"length\">10.00 In × 5.00 In</td>"
                  "<td class=\"time\">about 1:05</td><td class=\"preview\"><svg id=\"p\"></svg></td></tr>"));
    EXPECT_THAT(page, HasSubstr("<tr class=\"job finished\"><td class=\"name\">b.plt</td>"));
    EXPECT_THAT(
        page,
        HasSubstr("not measured yet</td><td class=\"time\"></td><td class=\"preview\"><p class=\"note\">Gone "
                  "&lt;now&gt;.</p>"));
    // A job beyond the previews given has an empty cell.
    EXPECT_THAT(page, HasSubstr("<tr class=\"job standby\"><td class=\"name\">c.plt</td>"));
    EXPECT_THAT(page, HasSubstr("<td class=\"preview\"></td></tr></tbody>"));
    EXPECT_THAT(page, HasSubstr("<p id=\"failures\" class=\"note\">None recorded."));
    EXPECT_THAT(page, HasSubstr("<tr><td>3</td><td>drawing.plt</td><td></td><td>2</td><td>in the queue</td>"
                                "<td>-</td></tr>"));
    EXPECT_THAT(page, HasSubstr("As of 1970-01-02 00:00:00"));
    EXPECT_THAT(page, Not(HasSubstr("<script")));

    const std::string empty = statusPageHtml(QueueSnapshot{}, {}, {}, 5);
    EXPECT_THAT(empty, HasSubstr("No jobs in the queue."));
    EXPECT_THAT(empty, HasSubstr("<p id=\"network-jobs\" class=\"note\">None recorded."));
}
