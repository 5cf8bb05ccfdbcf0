// Which drawn elements are members of the truss and which only trace the concrete's outline: one
// rule for the analysis, which leaves the latter out, and for the view, which draws them as outline.
#pragma once

class CStmModel;
class CStmObjElement;

// Part of an outer or inner outline, with its member type left to the analysis.
bool StmIsOutlineElement(const CStmObjElement& element);

// An outline element that reaches a node the truss does not hold without it: no other member, no
// support or spring and no load meets that node. An outline edge between truss nodes (drawn along
// a tie, or round an opening) stays a member and carries force.
bool StmOnlyFormsOutline(const CStmModel& model, const CStmObjElement& element);
