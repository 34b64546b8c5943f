#pragma once
// TGameBoard: the chess board component. It holds a game and enforces the rules (through
// TChessModel, its Qt-free base), runs its own engine on a thread of its own (TEngineThread),
// draws itself, takes moves from the mouse, animates moves and reports what happens through
// events. Sender of every event is the board.
//
// Threading: everything here runs on the user-interface thread. The engine thread
// (EngineThread.h) knows the board only as its host (TEngineHost): it takes a snapshot of the
// game state on this thread when it runs its turn test and starts a search, and reaches the
// board only through blocking hand-offs (DeliverMove, ParkWorker) that run on this thread.
// Every writer of the game state calls StopThinking first, which waits (processing this
// thread's events) until the engine thread is parked, except:
//  - with CustomEngine, and while GameEnded is set (the OnMate/OnDraw handlers);
//  - inside a hand-off, i.e. from any event MakeMove fires for the engine's own move: the
//    engine thread is then blocked in that hand-off, so the wait could never end. The stop is
//    recorded instead: the engine thread parks right after the hand-off and plays nothing
//    more, until the next StartThinking (which a ComputerPlays setter in the handler runs).
// A result searched for a position that has changed since (a change made without a wait) is
// never played; a move the board refused is not searched for again while nothing changes
// (every StopThinking counts as a change). With CustomEngine set the built-in engine stays
// still: setting it disarms the engine thread, and its turn test never finds it due.
//
// Drawing: the board keeps its picture in an image of its own (the surface); the drawing steps
// (PaintBoard, DrawSquare, DrawPiece, DrawBoardLines) draw into it and update() the changed
// rectangle; paintEvent only shows the surface.

#include "GameBoard/BoardGeometry.h"
#include "GameBoard/EngineHost.h"
#include "GameBoard/Rules/BoardTypes.h"
#include "GameBoard/Rules/ChessModel.h"

#include <QCursor>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <utility>
#include <vector>

class TEngineThread;
class TDragOverlay;
class TDragKeyFilter;
class QPainter;

// A font as the board keeps it: face name, size in points, colour and pitch.
struct TFont {
    enum class Pitch { Default, Fixed, Variable };
    QString Name = QStringLiteral("Arial");
    int Size = 7; // points; the board's geometry also uses it as a pixel measure
    TColor Color = clWhite;
    Pitch FontPitch = Pitch::Default;
    bool operator==(const TFont&) const = default;
};

// The toolkit's mouse and drag events, with their parameters in control coordinates.
using TMouseEvent = std::function<void(
    TChessModel* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
using TMouseMoveEvent
    = std::function<void(TChessModel* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
using TDragOverEvent
    = std::function<void(TChessModel* Sender, QObject* Source, int X, int Y, bool& Accept)>;
using TDragDropEvent = std::function<void(TChessModel* Sender, QObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TChessModel* Sender, QObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TChessModel* Sender)>;

enum class TDragMode { dmManual, dmAutomatic };

class TGameBoard : public QWidget, public TChessModel, private TEngineHost {
    Q_OBJECT

public:
    // withEngine = false builds a board without an engine thread (as in a form designer):
    // Thinking is then false, StartThinking does nothing and StopThinking only sets Halted.
    explicit TGameBoard(QWidget* parent = nullptr, bool withEngine = true);
    ~TGameBoard() override;

    // ---- Published properties (the game-state ones are inherited from TChessModel:
    // Position, WhiteToMove, CastlingAllowed, EnPassant, CurrentMove, ComputerPlaysWhite,
    // ComputerPlaysBlack, AnimateMoves, AnimationDelay) ----
    bool BoardLines() const { return boardLines_; }
    void SetBoardLines(bool value);
    const QImage& BorderBitmap() const { return borderBitmap_; }
    void SetBorderBitmap(const QImage& value);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    bool Thinking() const;
    void SetThinking(bool) { }
    const TFont& CoordFont() const { return coordFont_; }
    void SetCoordFont(const TFont& value);
    const QImage& CustomPieceSet() const { return customPieceSet_; }
    // nullptr stands for "no bitmap": it empties the board's copy (back to the built-in set).
    void SetCustomPieceSet(const QImage* value);
    CoordSet DisplayCoords() const { return displayCoords_; }
    void SetDisplayCoords(CoordSet value);
    bool CustomEngine() const { return customEngine_; }
    // Stores the value; on, it also keeps the built-in engine still from now on (a search
    // already running is not interrupted).
    void SetCustomEngine(bool value);
    const QPen& LineStyle() const { return lineStyle_; }
    void SetLineStyle(const QPen& value);
    bool Resizable() const { return resizable_; }
    void SetResizable(bool value) { resizable_ = value; }
    int ResizeMinSize() const { return resizeMinSize_; }
    void SetResizeMinSize(int value);
    int ResizeMaxSize() const { return resizeMaxSize_; }
    void SetResizeMaxSize(int value);
    int SearchDepth() const { return searchDepth_; }
    void SetSearchDepth(int value);
    int SizeOfBorder() const { return sizeOfBorder_; }
    void SetSizeOfBorder(int value);
    int SizeOfSquare() const { return sizeOfSquare_; }
    void SetSizeOfSquare(int value);
    TColor SquareColorDark() const { return squareColorDark_; }
    void SetSquareColorDark(TColor value);
    TColor SquareColorLight() const { return squareColorLight_; }
    void SetSquareColorLight(TColor value);
    const QImage& SquareDark() const { return squareDark_; }
    void SetSquareDark(const QImage& value);
    const QImage& SquareLight() const { return squareLight_; }
    void SetSquareLight(const QImage& value);
    bool WhiteOnTop() const { return whiteOnTop_; }
    void SetWhiteOnTop(bool value);
    TThreadPriority ThinkingPriority() const { return thinkingPriority_; }
    void SetThinkingPriority(TThreadPriority value);
    QString Version() const { return QString(); }
    void SetVersion(const QString&) { }
    const QCursor& DragCursor() const { return dragCursor_; }
    void SetDragCursor(const QCursor& value) { dragCursor_ = value; }
    TDragMode DragMode() const { return dragMode_; }
    void SetDragMode(TDragMode value) { dragMode_ = value; }
    // The move lock: a mouse press starts a drag only while Tag is 0. Only the owner writes it.
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }

    // ---- Published events besides those of TChessModel ----
    TOneSquareEvent OnIllegalMove;
    TThinkEvent OnCalculateMove;
    TMoveEvent OnCalculationFailed;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TStartDragEvent OnStartDrag;

    // ---- Engine integration (GameBoardEngine.cpp) ----
    void StopThinking() override;
    void StartThinking() override;
    void CustomEnginePoll();
    TEngineThread* EngineThread() const { return engineThread_.get(); }

    // ---- Geometry and drawing (GameBoardPaint.cpp) ----
    void PaintBoard() override;
    void DrawSquare(Square q) override;
    void DrawPiece(Square q, char piece) override;
    void DrawBoardLines() override;
    QPoint SquareOrigin(Square q) const;
    Square PixelToSquare(int x, int y) const;
    static bool IsLightSquare(Square q);
    int PieceImageIndex(char piece) const;
    void BuildPieceImages();
    void LoadBuiltInPieceSet();
    static bool HasPicture(const QImage& b);
    static bool IsValidPieceSet(const QImage& b);
    // The board's picture as last drawn (for tests and screenshots), at the widget's device
    // pixel ratio.
    const QImage& Surface() const { return surface_; }
    // The whole board drawn afresh into a picture of the given device pixel ratio, in the same
    // logical layout (for tests and screenshots); the shown surface stays as it is.
    QImage RenderedAt(qreal ratio);

    // ---- Mouse, drag and animation (GameBoardMouse.cpp, GameBoardAnimate.cpp) ----
    void AnimateMove(Square from, Square to, int delayMs) override;
    bool IsDroppedMove(Square from, Square to) const override;
    Square DragStartSquare() const { return dragStartSquare_; }
    Square DropSquare() const { return dropSquare_; }

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The computer is to move: it plays the side whose turn it is.
    bool ComputerDue() const;
    // The engine thread's host (GameBoardEngine.cpp): the snapshot its turn test and its
    // searches start from, and its two hand-off steps, run on this thread.
    TEngineSnapshot EngineSnapshot() const override;
    bool DeliverMove(Square from, Square to) override;
    void ParkWorker() override;

    // ---- Component state (GameBoard.cpp, GameBoardProperties.cpp, GameBoardEngine.cpp) ----
    bool boardLines_ = false;
    QImage borderBitmap_;
    TColor borderColor_ = clBlack;
    TFont coordFont_;
    QImage customPieceSet_;
    CoordSet displayCoords_;
    bool customEngine_ = false;
    QPen lineStyle_ { QColor(0, 0, 0), 1, Qt::SolidLine };
    bool resizable_ = false;
    int resizeMinSize_ = 100;
    int resizeMaxSize_ = 1000;
    int searchDepth_ = 1;
    int sizeOfBorder_ = 24;
    int sizeOfSquare_ = 40;
    TColor squareColorDark_ = clGray;
    TColor squareColorLight_ = clSilver;
    QImage squareDark_;
    QImage squareLight_;
    bool whiteOnTop_ = false;
    TThreadPriority thinkingPriority_ = TThreadPriority::tpNormal;
    QCursor dragCursor_ { Qt::DragMoveCursor };
    TDragMode dragMode_ = TDragMode::dmManual;
    int tag_ = 0;
    QTimer* pollTimer_ = nullptr; // owned by this widget (Qt parent)
    std::unique_ptr<TEngineThread> engineThread_;
    bool destroying_ = false;
    bool askingOwner_ = false; // OnCalculateMove is running (no nested request)

    // ---- View state (GameBoardPaint.cpp, GameBoardMouse.cpp, GameBoardAnimate.cpp) ----
    int pieceCellSize_ = 40;
    QImage builtInPieceSet_;
    QImage builtInPieceSet2x_; // the same drawing at twice the resolution
    std::vector<QImage> pieceImages_; // masked: transparent where the mask is white
    std::vector<QImage> finePieceImages_; // the same from the 2x set, device pixel ratio 2
    // 2x twins of built-in textures by the key of the 1x picture (null: none); a small cache.
    static constexpr std::size_t kMaxFineArt = 8;
    mutable std::vector<std::pair<qint64, QImage>> fineArt_;
    std::array<std::array<int, 6>, 2> pieceImageTable_ {};
    bool firstPaintDone_ = false;
    QImage surface_;
    Square dragStartSquare_ = Square::None;
    Square dropSquare_ = Square::None;
    bool resizing_ = false;
    QCursor savedCursor_;
    QPointer<TDragOverlay> dragOverlay_; // owned by the top-level window (Qt parent)
    // The pen of the frames and grid lines: LineStyle as last taken by DrawBorder.
    QPen linePen_;
    // The widget size the surface was last fully painted for; another size repaints it all.
    QSize paintedSize_;
    // A piece drag: armed by a press on a piece, active once the pointer has moved far enough.
    enum class DragState { None, Armed, Active };
    DragState dragState_ = DragState::None;
    QPoint dragPressPos_;
    QPoint dragLastPos_;
    bool dragAccepted_ = false;
    bool dragCursorSet_ = false;
    bool clickPending_ = false; // a left press inside the board that a release turns into OnClick
    TDragKeyFilter* dragKeyFilter_ = nullptr; // owned by this widget (Qt parent); made on first use

    // Where squares and pieces lie now: SizeOfSquare, SizeOfBorder (the playing area's left
    // and top), WhiteOnTop and the piece size of the active set (GameBoardPaint.cpp).
    TBoardGeometry Geometry() const;

    // Painting steps on the surface (GameBoardPaint.cpp).
    void PaintSurface();
    void DrawBorder(QPainter& p);
    void DrawSquares(QPainter& p);
    void DrawAllPieces(QPainter& p);
    void TileBitmap(QPainter& p, const QImage& b) const;
    void DrawSquareOn(QPainter& p, Square q);
    void DrawPieceOn(QPainter& p, Square q, char piece) const;
    void DrawBoardLinesOn(QPainter& p);
    void DrawGridLines(QPainter& p, const QColor& colour);
    QSize SurfaceSize() const; // in logical pixels
    QRect PlayingArea() const;
    QImage PieceImage(char piece) const; // for the widget's device pixel ratio
    QImage PieceImageAt(char piece, qreal ratio) const;
    QImage ArtFor(const QImage& b) const;

    // Mouse, drag and slide (GameBoardMouse.cpp, GameBoardAnimate.cpp).
    void changeEvent(QEvent* e) override; // a board disabled mid-drag cancels the drag
    TDragOverlay& Overlay();
    QPoint DragImagePos(QPoint boardPos) const;
    void ArmDrag(QPoint pos);
    void DragTo(QPoint pos);
    bool DragOverBoard(QPoint pos);
    void EndDrag(QPoint pos, bool released);
    void DropPiece(QPoint pos);
    void CancelDrag();
    void SetDragCursorShown(bool accepted);
    void ClearDragCursor();
    void CornerResize(QPoint pos, Qt::MouseButtons buttons);
    void SlideLeg(bool alongX, int a1, int a2, int fixed, int delayMs);
    void SlideLine(QPoint a, QPoint b, int delayMs);
    void SlideStep(QPoint pos, int delayMs);
};
