// The one short-vector value type: planar points, poses (x, y, theta) and image-space points.
#pragma once

#include <memory>

class Point {
public:
    Point();
    explicit Point(int n);
    Point(double x, double y);
    Point(double x, double y, double z);
    // Display points: carry a value for colouring with weight 1.
    Point(float x, float y, float v);
    Point(float x, float y, float z, float v);
    Point(const Point &other);
    Point &operator=(const Point &other);
    ~Point() = default;

    int dimension() const { return dim; }
    double &operator[](int i);
    double operator[](int i) const;
    double x() const { return coords[0]; }
    double y() const { return dim > 1 ? coords[1] : 0.0; }
    double z() const { return dim > 2 ? coords[2] : 0.0; }

    // Divides every coordinate; a zero divisor is a programming error and ends the process.
    Point operator/(double s) const;

    double distance(const Point &other) const;
    double distance(double px, double py) const;
    Point midpoint(const Point &other) const;

    // Planar kinematic mapping between a pose (theta in radians) and its image-space point.
    Point toImage() const;
    Point toCartesian() const;

    double parameter = 0.0;
    float auxValue = 0.0f;
    float auxWeight = 0.0f;

    // Drawing, used by the Cartesian view; needs a current GL context.
    void drawCircleMarker() const;
    void drawPositionFrame(int index) const;

private:
    int dim;
    std::unique_ptr<double[]> coords;
};

// Free forms of the mapping, as the rest of the model calls them.
Point toImage(const Point &pose);
Point toCartesian(const Point &image);
