// Speech for a screen reader: texts said to the player as they happen, whichever game window has
// the keyboard.
#pragma once

#include <QString>

#include <memory>

namespace lw::speech {

class WaitingTexts;

class Announcer {
public:
    Announcer();
    ~Announcer();

    // Says `text` through the screen reader, once, now. Line breaks become spaces.
    //
    // A screen reader speaks a notification the moment it is shown, wherever the keyboard is; it
    // ignores a label's new name, and speaks a new name only on the object that has the keyboard.
    // So every text is a new, tiny notification object, shown in the window that has the keyboard
    // (or else any visible game window) inside a status-bar container, which keeps the reader from
    // prefixing the word "notification". A new object for every text keeps two texts said in quick
    // succession from being taken for one repeated event. The objects paint nothing and let every
    // click through; they are made only while an assistive tool listens.
    void announce(const QString& text);

    // Texts are said only while an assistive tool listens. A test, whose platform has no bridge to
    // one, turns this on to see the objects all the same.
    void sayWithoutListener(bool on) { withoutListener_ = on; }
    // Whether a screen reader (or a test standing in for one) hears what is announced.
    bool listening() const;

    // Kana speech: while on, texts are said in their kana reading, which a Japanese voice without
    // a kanji dictionary reads correctly; while off, as they are shown (for braille, and for voices
    // that read kanji). Off when the game starts.
    void setKanaSpeech(bool on) { kanaOn_ = on; }
    bool kanaSpeech() const { return kanaOn_; }

    // What is said for a text written with ruby marks (｜漢字《かんじ》): the text as shown, or its
    // kana reading while kana speech is on. A text without marks is said as it is.
    QString spokenForm(const QString& marked) const;

private:
    bool withoutListener_ = false;
    bool kanaOn_ = false;
    std::unique_ptr<WaitingTexts> waiting_;
};

} // namespace lw::speech
