# The shell: frameless base windows, the shared dialogs and widgets, the animation
# effects and the modal-dialog pattern with its dim overlay.
add_library(quorvane_shell STATIC
    ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.ui
    ${CMAKE_CURRENT_LIST_DIR}/AnimationEffect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AnimationEffect.h
    ${CMAKE_CURRENT_LIST_DIR}/AnimationEffectData.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AnimationEffectData.h
    ${CMAKE_CURRENT_LIST_DIR}/BackgroundProcessAnimationEffect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BackgroundProcessAnimationEffect.h
    ${CMAKE_CURRENT_LIST_DIR}/BaseDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BaseDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/BaseMainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BaseMainWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/BottomLineAnimationEffect.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BottomLineAnimationEffect.h
    ${CMAKE_CURRENT_LIST_DIR}/DimOverlay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DimOverlay.h
    ${CMAKE_CURRENT_LIST_DIR}/DimOverlayHost.h
    ${CMAKE_CURRENT_LIST_DIR}/ImageWordButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImageWordButton.h
    ${CMAKE_CURRENT_LIST_DIR}/ImageWordButton.ui
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxDialog.ui
    ${CMAKE_CURRENT_LIST_DIR}/ModalDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModalDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/MoreDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MoreDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/MoreDialog.ui
    ${CMAKE_CURRENT_LIST_DIR}/ShadowWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShadowWindow.h
    ${CMAKE_CURRENT_LIST_DIR}/ShadowWindow.ui
    ${CMAKE_CURRENT_LIST_DIR}/ShellResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShellResources.h
    ${CMAKE_CURRENT_LIST_DIR}/../Resources/shell.qrc
)
target_include_directories(quorvane_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quorvane_shell PUBLIC quorvane_utils shadowwindow Qt5::Widgets)

foreach(test tst_BaseDialog tst_BaseMainWindow tst_ImageWordButton tst_AnimationEffect
        tst_SharedDialogs tst_ModalDialog)
    quorvane_add_qtest(${test}
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/${test}.cpp
        LIBS quorvane_shell)
endforeach()

# The screen of a real X server (its own Xvfb) with a message box over a main window.
quorvane_add_qtest(tst_ShellScreenshot
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/tst_ShellScreenshot.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/XvfbDisplay.h
        ${CMAKE_CURRENT_LIST_DIR}/tests/ScreenReading.h
    LIBS quorvane_shell)
