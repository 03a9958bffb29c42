// SPDX-License-Identifier: MIT
// shell-probe tree [--show-files] [--show-hidden] [--wait-ms N] PATH: the
// real folder tree, built offscreen with its usual options and the desktop
// as its root, opened at PATH; after N more milliseconds of events (so that
// changes made meanwhile on disk are applied) it prints the visible nodes in
// order, one per line:
//
//   two spaces per depth, then "-" (expanded), "+" (collapsed, with an
//   expand button) or "." (no expand button), a space, the name; the
//   selected node's line ends with a tab and "*".
//
// A PATH that does not open prints "Invalid folder" on standard error and
// exits with 1.

#include "ProbeCommand.h"
#include "ProbeEvents.h"
#include "ProbeOutput.h"

#include "base/application/SsExceptionBoundary.h"
#include "base/exceptions/SsBase.h"
#include "shell/tree/StShellTreeModel.h"
#include "shell/tree/StShellTreeView.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

struct TreeArguments {
    bool showFiles = false;
    bool showHidden = false;
    int waitMs = 0;
    std::string path;
};

bool parseArguments(const std::vector<std::string>& arguments, TreeArguments& parsed)
{
    bool havePath = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--show-files") {
            parsed.showFiles = true;
        } else if (argument == "--show-hidden") {
            parsed.showHidden = true;
        } else if (argument == "--wait-ms" && i + 1 < arguments.size()) {
            try {
                parsed.waitMs = std::stoi(arguments[++i]);
            } catch (const std::exception&) {
                return false;
            }
            if (parsed.waitMs < 0)
                return false;
        } else if (!havePath && (argument.rfind("--", 0) != 0 || argument == "--")) {
            parsed.path = argument == "--" && i + 1 < arguments.size() ? arguments[++i] : argument;
            havePath = true;
        } else {
            return false;
        }
    }
    return havePath;
}


void printNodes(const TStShellTreeView& tree, const QModelIndex& parent, int depth, std::ostream& out)
{
    const TStShellTreeModel& model = tree.Model();
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const TStTreeNode* node = model.NodeAt(index);
        const bool expanded = tree.isExpanded(index);
        const char mark = expanded ? '-' : (model.hasChildren(index) ? '+' : '.');
        out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << mark << ' ' << model.TextOf(*node);
        if (tree.currentIndex() == index)
            out << "\t*";
        out << '\n';
        if (expanded)
            printNodes(tree, index, depth + 1, out);
    }
}


int runTree(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    TreeArguments parsed;
    if (!parseArguments(arguments, parsed)) {
        err << "usage: shell-probe tree [--show-files] [--show-hidden] [--wait-ms N] PATH\n";
        return 2;
    }
    TStShellTreeView tree;
    TStTreeOptions options = tree.GetOptions();
    if (parsed.showFiles)
        options.Include(toShowFiles);
    if (parsed.showHidden)
        options.Include(toShowHidden);
    tree.SetOptions(options);
    tree.resize(400, 600);
    tree.show();
    if (!openAndSettle([&] { tree.OpenAtPath(parsed.path); }, [&] { return !tree.IsLoading(); }, parsed.waitMs, err))
        return 1;
    printNodes(tree, {}, 0, out);
    return 0;
}

const ProbeCommandRegistration registration{
    "tree", "[--show-files] [--show-hidden] [--wait-ms N] PATH",
    "the folder tree opened at PATH: its visible nodes, one per line", runTree};

} // namespace
