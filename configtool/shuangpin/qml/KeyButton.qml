import QtQuick 2.0

// One key of the keyboard view: its label, the consonant it types and up
// to two finals.
Rectangle {
    id: keyButton
    width: 41
    height: 42
    radius: 0
    color: "transparent"
    border.width: 2
    border.color: "#bec8d0"

    property alias key: keyText.text
    property alias consonant: consonantText.text
    property alias vowel1: vowel1Text.text
    property alias vowel2: vowel2Text.text

    // A screen reader says the key and what it types, e.g. "U sh u".
    Accessible.role: Accessible.Button
    Accessible.name: [key, consonant, vowel1, vowel2].filter(function (text) {
        return text.trim() !== ""
    }).join(" ")

    Text {
        id: keyText
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.leftMargin: 3
        anchors.topMargin: 0
        width: parent.width / 2
        font.pixelSize: 17
        color: "#9da2a9"
        text: ""
    }
    Text {
        id: consonantText
        anchors.left: keyText.right
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: 1
        anchors.rightMargin: 3
        horizontalAlignment: Text.AlignRight
        verticalAlignment: Text.AlignTop
        font.pixelSize: 11
        color: "#ff7846"
        text: ""
    }
    Text {
        id: vowel1Text
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: 16
        anchors.rightMargin: 3
        height: 12
        horizontalAlignment: Text.AlignRight
        font.pixelSize: 11
        color: "#0181e2"
        text: ""
    }
    Text {
        id: vowel2Text
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.topMargin: 27
        anchors.rightMargin: 3
        height: 12
        horizontalAlignment: Text.AlignRight
        font.pixelSize: 11
        color: "#0181e2"
        text: ""
    }
}
