// The main window's panel geometry in twips, and the rules that place the panels for the
// window's size and view options. The rules work on plain numbers so they can be read
// and checked without a window; frmMain applies the result to its controls.
#pragma once

#include <QRect>
#include <QSizeF>
#include <QtGlobal>

// A panel's place in its container, in twips.
struct TwipsRect {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// The lists tree's first width: room for the names a fresh program gives its lists
// ("New Items List 1", ...) whole, with the group's indentation and pictures.
constexpr float kTreeWidth = 2835;

struct MainLayout {
    // The panels the layout places (cSlider1 inside picPlayer, the others in the window).
    TwipsRect picTitle{120, 120, 12615, 375};
    TwipsRect cToolbarHost1{120, 480, 11895, 600};
    TwipsRect picTitleProject{120, 1200, kTreeWidth, 255};
    TwipsRect picTitleList{2760, 1200, 9975, 255};
    TwipsRect cTreeView1{120, 1485, kTreeWidth, 4335};
    TwipsRect picResizer{2650, 1200, 100, 20000};
    TwipsRect cGrid1{2760, 1485, 6855, 3255};
    TwipsRect picEmptyMsg{4440, 2400, 3615, 735};
    TwipsRect cGridInfo{9720, 1440, 3495, 1455};
    TwipsRect picPlayer{9720, 3000, 3495, 1215};
    TwipsRect picList{2880, 4920, 50000, 400};
    TwipsRect froControl{2760, 5280, 10815, 1155};
    TwipsRect froTreeControl{120, 6000, kTreeWidth, 500};
    TwipsRect cSlider1{0, 80, 3285, 390};

    bool titleVisible = true;
    bool treeVisible = true;  // the tree and the splitter bar beside it
    bool playerVisible = true;  // the information grid and the player panel
    bool graphsVisible = true;

    // Heights the layout reads from controls that size themselves.
    float tlbrListHeight = 390;
    float statusBarHeight = 375;
};

// What a layout depends on besides the panels themselves.
struct LayoutInputs {
    float W = 0;  // the window's width and height
    float H = 0;
    bool minimised = false;
    qint32 treeOffered = 0;  // the product's tree-panel flag
    bool displayTitle = false;
    bool displayPlayer = false;
    bool displayAudioGraph = false;
};

// Places every panel for the window's size and the view options. A size that would come
// out below zero is not applied: the panel keeps its size, and later rules use it.
void LayOutMainWindow(MainLayout& l, const LayoutInputs& in);

// The least outer size of the window at which the rules place every panel within it:
// with the tree at its first width and the title and the player shown, the grid is then
// 0 wide and as high as the player panel beside it. In a smaller window the panels beside
// and under the grid would keep their places past the window's edges.
QSizeF LeastWindowTwips(const MainLayout& l);

// The tree's new width after the splitter bar was dropped at X (twips from the left edge
// of the control that took the drop), on the tree side or on the grid side.
float TreeWidthAfterDropOnTree(const MainLayout& l, float X);
float TreeWidthAfterDropOnGrid(const MainLayout& l, float X);

// The pixels a panel covers: its edges rounded to the nearest pixel (15 twips).
QRect TwipsToPixelRect(const TwipsRect& r);
