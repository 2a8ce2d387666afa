// Cell geometry of every grid shape in grid units: vertices, edges, outlines, centres of cells
// and merged runs, bounding boxes, picture sizes, the text size factor of circular rings, arcs
// flattened into polylines, and the pointer hit test that shares the edge numbering.
#pragma once

#include <cairo.h>

// Shape classes: the grid types that draw alike.
constexpr int SC_SQUARE = 0, SC_HEXV = 1, SC_HEXH = 2, SC_CIRC = 3, SC_CIRCHALF = 4;
int shapeclass();  // of the current grid type

struct gpoint {
  double x, y;
};
struct gbox {
  double x0, y0, x1, y1;
};

// Drawing scale: device units per grid unit of the drawing in progress. Paths are appended in
// device units (grid units times `scale`). 1 when nothing is being drawn.
extern double scale;
// How finely arcs are flattened: segments stay within about 1/8 device unit at this many
// device units per grid unit. The screen's zoom on screen, the export square size in pictures.
extern double arcpx;

// Direction vector of light direction d on the square and hexagonal shapes, in grid units.
gpoint lightdir(int d);
// Vertex k (0 <= k < 2*ndir) of cell (x, y), clockwise from the first after the top left.
gpoint cellvertex(int k, int x, int y);
// Edge k runs from vertex k to vertex k+1; edge d < ndir is crossed stepping forward in
// direction d, edge ndir+d stepping backward. Circular grids: 0 the radial side at angle x+1,
// 1 the inner arc, 2 the radial side at angle x, 3 the outer arc.
void celloutline(cairo_t* cr, int x, int y);         // closed path
void edgepath(cairo_t* cr, int x, int y, unsigned mask);  // the edges whose bits are set
gpoint cellref(int x, int y);                        // that point
// Centre of a run of n cells from (x, y) in direction d (n = 1: the cell's centre).
gpoint runcentre(int x, int y, int d, int n);
// The merged cell that square (x, y) belongs to: its representative (the run's first square),
// direction, number of squares and centre. A square that is not merged is a run of one.
struct cellrun {
  int x, y, d, n;
  gpoint c;
};
cellrun groupof(int x, int y);
gbox cellbbox(int x, int y);
// Size in device units of the whole grid drawn with square size s and border b.
int imagewidth(int s, int b);
int imageheight(int s, int b);
// Scale of text and marks in ring y of a circular grid for n cells side by side; 1 elsewhere.
double sizefactor(int y, int n);

// Polyline approximating the arc about (cx, cy) of radius r from angle a0 to a1 (radians, from
// the positive x axis, increasing clockwise on the y-down screen), appended to the path.
void arccw(double a0, double a1, cairo_t* cr, double cx, double cy, double r);
void arcccw(double a0, double a1, cairo_t* cr, double cx, double cy, double r);

// The screen: pixels per grid unit (the zoom; 36 at start), half the bar width and the bar
// width, which is also the margin round the grid.
constexpr int STARTPX = 36;
extern int squarepx;
int hbawdpx();
int bawdpx();

// Pointer hit test: the square under a drawing-area position (event coordinates in pixels),
// possibly outside the grid or (-1, -1) at the centre of a circular grid, and bit k of mask
// set when the point lies within 0.2 grid units of edge k (two or more bits: near a corner).
struct hitresult {
  int x, y;
  unsigned mask;
};
hitresult hittest(double ex, double ey);
// The same for a point in grid units.
hitresult hitgrid(double u, double v);
