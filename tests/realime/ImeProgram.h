#pragma once

#include "ImeSession.h"
#include "MainWindowHarness.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// What the real-input-method cases share: the program started in a session, where its cells
// are on the screen, what it stored, and the typing of a fast typist.
namespace realime {

inline constexpr int kWaitMs = 8000;
inline constexpr int kWidth = 1100;
inline constexpr int kHeight = 1000;
inline constexpr int kOff = ImeSession::kOff;
inline constexpr int kOn = ImeSession::kOn;

// Whether the session came up with its daemons: when not, the running case is marked as
// not run for that reason (DaemonsNotUp.h) and the caller skips it.
bool sessionIsUp(const ImeSession& session);

// Where the cells of the month grid are in a window of kWidth x kHeight: the same window
// laid out here on the offscreen platform with the same style and fonts.
class CellMap {
public:
    CellMap();
    bool ok() const { return ok_; }
    // Nothing when the cell is out of sight.
    std::optional<QPoint> centre(int row, int column);
    QPoint yearMonth();

private:
    MainWindowHarness harness_;
    bool ok_ = false;
};

// The program's sheet (work file) and payee master (main file), read as they are now.
class Files {
public:
    explicit Files(const QString& folder)
        : folder_(folder)
    {
    }
    // Nothing while the line does not exist or holds nothing there (or the program writes).
    QVariant sheet(int row, int column) const;
    QStringList payees() const;

private:
    QString folder_;
};

// The program on its own data in a session: started, moved to the corner at the size the
// cell map assumes, and clicked and typed into.
class Program {
public:
    Program(ImeSession& session, const QString& data);
    ~Program();
    // Gives the program's main thread alone the niceness (its other threads, D-Bus's among
    // them, keep theirs: Linux keeps one per thread), so that beside busy loops every step
    // of the program's own takes long while the input method's answers come in at once, as
    // in a sanitizer build while other builds run. False when it cannot.
    bool slowMainThread(int niceness);
    const QString& problem() const { return problem_; }
    void activate();
    void clickAt(QPoint at);
    void wheelUpAt(QPoint at, int notches);

private:
    ImeSession& session_;
    std::unique_ptr<QProcess> process_;
    QString window_;
    QString problem_;
};

// What every case does: click cells, type as a fast typist does, wait for the input method.
class Typist {
protected:
    virtual ~Typist() = default;
    void clickCell(int row, int column);
    void type(const QString& text);
    void keys(const QStringList& names);
    // Enter moves down a line, so an earlier case may have left the grid scrolled: the
    // grid is brought back to its top before cells are clicked by their place. The wheel
    // does it: a key goes through the input method and may arrive after the next click.
    void toTop();
    bool stateBecomes(int state);
    void screenshot(const char* name);

    virtual ImeSession* session() = 0;
    virtual Program* program() = 0;
    CellMap cells_;
};

// One session and one program for the cases of a framework. The user's input method is
// off when the program starts (IBus: the Japanese keyboard engine, and Mozc, once it runs,
// in direct input, as it starts).
template <ImeSession::Framework F>
class ProgramUnderInputMethod : public ::testing::Test, protected Typist {
protected:
    static void SetUpTestSuite()
    {
        session_ = new ImeSession(F);
        if (!session_->problem().isEmpty())
            return;
        data_ = session_->home() + QStringLiteral("/data");
        program_ = new Program(*session_, data_);
    }
    static void TearDownTestSuite()
    {
        delete program_;
        delete session_;
        program_ = nullptr;
        session_ = nullptr;
    }
    void SetUp() override
    {
        // A session whose daemons did not come up is not a result: the case is run again.
        if (!sessionIsUp(*session_))
            GTEST_SKIP() << "the input method did not come up: " << session_->problem().toStdString();
        ASSERT_TRUE(program_->problem().isEmpty()) << program_->problem().toStdString();
        ASSERT_TRUE(cells_.ok()) << "the window could not be laid out offscreen";
    }
    ImeSession* session() override { return session_; }
    Program* program() override { return program_; }

    static inline ImeSession* session_ = nullptr;
    static inline Program* program_ = nullptr;
    static inline QString data_;
};

} // namespace realime
