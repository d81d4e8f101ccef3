#pragma once
// How this copy of the converter meets the others: it answers the words they
// send to its caption, fetches the files a second copy handed over, and, as a
// second copy, hands its own files to the first one.
#include "InstanceChannel.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

// What the coordination needs of the window it serves.
class TRunningCopiesHost {
  public:
    virtual ~TRunningCopiesHost() = default;
    virtual QString Caption() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    // Appends the paths that name existing files.
    virtual void AddFiles(const QStringList& paths) = 0;
    // Files arrived: the list view is rebuilt.
    virtual void FilesArrived() = 0;
    virtual void BringToFront() = 0;
    virtual bool Unattended() const = 0;
    virtual void ReportError(const QString& text) = 0;
};

class TRunningCopies : public QObject {
    Q_OBJECT

  public:
    // Answers a word the four words do not cover; nothing when it does not know it.
    using ExtraWords = std::function<std::optional<QByteArray>(const QString& word)>;

    static const QString PrimaryCaption;
    static const QString CloneCaption;

    TRunningCopies(TRunningCopiesHost& host, QString handOverFolder, QObject* parent = nullptr);

    // From now on other copies reach the window under its caption.
    void Start();
    // Follows a new caption of the window, once started and until closed.
    void CaptionChanged();
    // Stops answering: the window is going away.
    void Close();

    // Handles a word from another copy; the reply travels back with the acknowledgement.
    QByteArray InstanceCommand(const QString& word);
    void setExtraWords(ExtraWords value) { FExtraWords = std::move(value); }

    // As a second copy: hands the files to the first one. False when the list
    // could not be written; the error has been reported and the files stay here.
    bool HandOver(const QStringList& files);

    bool FetchFilesActive() const { return FFetchFiles.isActive(); }
    void FetchFilesTimer();
    QString HandOverFolder() const { return FHandOverFolder; }

  private:
    void CollectUnheardHandOvers();

    TRunningCopiesHost& FHost;
    QString FHandOverFolder;
    TInstanceChannel FChannel;
    QTimer FFetchFiles;
    ExtraWords FExtraWords;
    bool FStarted = false;
    bool FClosed = false;
};
