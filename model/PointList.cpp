// PointList: checked access to an ordered list of points, and its two strip drawings.
#include "PointList.h"

#include "ProcessValues.h"

#include <GL/gl.h>
#include <cmath>
#include <string>

void PointList::checkIndex(int i) const {
    if (i < 0 || i >= size()) {
        const std::string message = std::to_string(i) + " out of range.\n";
        abortOnInvariant(message.c_str());
    }
}

Point PointList::at(int i) const {
    checkIndex(i);
    return points[static_cast<size_t>(i)];
}

const Point &PointList::ref(int i) const {
    checkIndex(i);
    return points[static_cast<size_t>(i)];
}

void PointList::set(int i, const Point &p) {
    checkIndex(i);
    points[static_cast<size_t>(i)] = p;
}

Point PointList::atWrapped(int i) const {
    if (i < 0 || points.empty())
        abortOnInvariant("Error\n");
    return points[static_cast<size_t>(i % size())];
}

void PointList::insertAt(int i, const Point &p) {
    if (i >= 0 && i < size())
        points.insert(points.begin() + i, p);
}

void PointList::append(const Point &p) { points.push_back(p); }

void PointList::erase(int i) {
    if (i >= 0 && i < size())
        points.erase(points.begin() + i);
}

void PointList::drawStrip4D() const {
    if (points.empty())
        return;
    glLineWidth(2);
    glBegin(GL_LINE_STRIP);
    for (const Point &p : points) {
        if (p.dimension() < 4)
            abortOnInvariant("Error\n");
        glVertex4d(p[0], p[1], p[2], p[3]);
    }
    glEnd();
}

void PointList::drawStrip2D(double r, double g, double b) const {
    if (points.empty())
        return;
    if (std::fabs(r) <= 1.0 && std::fabs(g) <= 1.0 && std::fabs(b) <= 1.0)
        glColor3d(std::fabs(r), std::fabs(g), std::fabs(b));
    else
        glColor3d(0.0, 0.1, 1.0);
    glBegin(GL_LINE_STRIP);
    for (const Point &p : points) {
        if (p.dimension() < 2)
            abortOnInvariant("Error\n");
        glVertex2d(p[0], p[1]);
    }
    glEnd();
}
