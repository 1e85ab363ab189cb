#pragma once

// Whether any of the program's arguments names an SVG drawing: a regular
// file named *.svg or *.svgz, or one whose start holds an <svg element.
// Read before the application exists, so only a glance at each file.
bool drawingAmongArguments(int argc, char *argv[]);

// Whether the program is asked to draw text or to list the fonts, which
// needs the font database.
bool textAmongArguments(int argc, char *argv[]);
