// SPDX-License-Identifier: MIT
// The command tables of the widget test classes.
#include "UiFixture.h"

const CCommandMap& CWidgetView::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CWidgetView>(&CCmdTarget::ThisCommandMap())
                                         .On(kViewCommand, &CWidgetView::OnCommand)
                                         .On(kViewChecked, &CWidgetView::OnToggle)
                                         .OnUpdate(kViewChecked, &CWidgetView::OnUpdateChecked)
                                         .Build();
    return s_map;
}

const CCommandMap& CUiTextDoc::ThisCommandMap() {
    static const CCommandMap s_map = TCommandMapBuilder<CUiTextDoc>(&CDocument::ThisCommandMap())
                                         .On(kViewCommand, &CUiTextDoc::OnCommand)
                                         .On(kDocCommand, &CUiTextDoc::OnCommand)
                                         .On(ID_EDIT_UNDO, &CUiTextDoc::OnUndo)
                                         .OnUpdate(ID_EDIT_UNDO, &CUiTextDoc::OnUpdateUndo)
                                         .Build();
    return s_map;
}

const CCommandMap& CUiChildFrame::ThisCommandMap() {
    static const CCommandMap s_map =
        TCommandMapBuilder<CUiChildFrame>(&CCmdTarget::ThisCommandMap())
            .On(kViewCommand, &CUiChildFrame::OnCommand)
            .On(kDocCommand, &CUiChildFrame::OnCommand)
            .On(kChildCommand, &CUiChildFrame::OnCommand)
            .Build();
    return s_map;
}

const CCommandMap& CUiMainFrame::ThisCommandMap() {
    static const CCommandMap s_map =
        TCommandMapBuilder<CUiMainFrame>(&CMDIFrameWnd::ThisCommandMap())
            .On(kViewCommand, &CUiMainFrame::OnCommand)
            .On(kDocCommand, &CUiMainFrame::OnCommand)
            .On(kChildCommand, &CUiMainFrame::OnCommand)
            .On(kMainCommand, &CUiMainFrame::OnCommand)
            .On(ID_EDIT_PASTE_AS_NEW, &CUiMainFrame::OnPasteAsNew)
            .Build();
    return s_map;
}
