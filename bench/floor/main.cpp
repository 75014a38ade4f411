// The floor: the least a Qt 6 Widgets program does for the drill's job. One
// fixed-size window of the main window's size, one label in the same
// Japanese Gothic face, a Japanese word until Space starts, then one digit;
// the right digit key shows the next one, any other key beeps and draws
// nothing. The beep is the desktop's alert sound through libcanberra, as the
// drill's is, opened and connected at the first wrong key and played on the
// spot; the X bell where that fails. The runner divides Tekkora!'s figures
// by this program's.
//
// FLOOR_SEQUENCE=digits shows those digits in turn instead of random ones
// (never the same twice in a row either way).

#include <canberra.h>
#include <dlfcn.h>

#include <QApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QRandomGenerator>
#include <QWidget>

namespace {

// The face the program settles on for its design face where that is not
// installed, named directly.
const QString Face = QStringLiteral("IPAPGothic");

QFont designFont(int points)
{
    QFont font(Face);
    font.setPointSize(points);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// The desktop's alert sound, or false where there is none to be had.
bool playAlertSound()
{
    struct Sound {
        ca_context *context = nullptr;
        decltype(&ca_context_play) play = nullptr;
    };
    static const Sound sound = [] {
        Sound found;
        void *library = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            return found;
        auto create = reinterpret_cast<decltype(&ca_context_create)>(dlsym(library, "ca_context_create"));
        auto setDriver = reinterpret_cast<decltype(&ca_context_set_driver)>(dlsym(library, "ca_context_set_driver"));
        auto open = reinterpret_cast<decltype(&ca_context_open)>(dlsym(library, "ca_context_open"));
        ca_context *context = nullptr;
        if (!create || !setDriver || !open || create(&context) != CA_SUCCESS)
            return found;
        // Where it does not open, the context is kept unused: the floor never retries.
        if (setDriver(context, "pulse") == CA_SUCCESS && open(context) == CA_SUCCESS) {
            found.context = context;
            found.play = reinterpret_cast<decltype(&ca_context_play)>(dlsym(library, "ca_context_play"));
        }
        return found;
    }();
    return sound.play != nullptr
        && sound.play(sound.context, 1, CA_PROP_EVENT_ID, "bell-window-system", nullptr) == CA_SUCCESS;
}

class FloorWindow final : public QWidget {
public:
    FloorWindow()
        : sequence_(qEnvironmentVariable("FLOOR_SEQUENCE"))
    {
        setWindowTitle(QStringLiteral("Tekkora floor"));
        // The main window's outer size: its client area of 2550 x 2070 twips
        // plus its one-line menu bar.
        setFixedSize(170, 138 + 18);
        label_ = new QLabel(QStringLiteral("開始"), this);
        label_->setFont(designFont(36));
        label_->setAlignment(Qt::AlignCenter);
        label_->setGeometry(0, 24, 170, 64);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const int key = event->key();
        if (!started_ && key == Qt::Key_Space) {
            started_ = true;
            // From now on one digit: the label shrinks to one glyph's box so
            // each key repaints no more than that.
            label_->setText(QStringLiteral("0"));
            const QSize box = label_->sizeHint();
            label_->setGeometry((width() - box.width()) / 2, 42, box.width(), box.height());
            next();
        } else if (started_ && key == Qt::Key_0 + current_) {
            next();
        } else if (!playAlertSound()) {
            QApplication::beep();
        }
    }

private:
    void next()
    {
        int digit;
        do {
            digit = sequence_.isEmpty() ? int(QRandomGenerator::global()->bounded(10))
                                        : sequence_.at(position_++ % sequence_.size()).digitValue();
        } while (digit == current_ && sequence_.isEmpty());
        current_ = digit;
        label_->setText(QString(QChar(u'0' + digit)));
    }

    QLabel *label_ = nullptr;
    QString sequence_;
    qsizetype position_ = 0;
    int current_ = -1;
    bool started_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(designFont(9));
    FloorWindow window;
    window.show();
    return app.exec();
}
