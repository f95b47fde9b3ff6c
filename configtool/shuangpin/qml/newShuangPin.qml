import QtQuick 2.0

Rectangle {
    id: root
    objectName: "shuangpinWindowQml"
    width: 460
    height: 132
    color: "transparent"

    property var prebutton: null

    Column {
        id: keyColumn
        spacing: 3
        anchors.fill: parent
        Row {
            spacing: 3
            x: 1
            KeyButton { id: q; key: "Q" }
            KeyButton { id: w; key: "W" }
            KeyButton { id: e; key: "E" }
            KeyButton { id: r; key: "R" }
            KeyButton { id: t; key: "T" }
            KeyButton { id: y; key: "Y" }
            KeyButton { id: u; key: "U" }
            KeyButton { id: i; key: "I" }
            KeyButton { id: o; key: "O" }
            KeyButton { id: p; key: "P" }
        }
        Row {
            spacing: 3
            x: 22
            KeyButton { id: a; key: "A" }
            KeyButton { id: s; key: "S" }
            KeyButton { id: d; key: "D" }
            KeyButton { id: f; key: "F" }
            KeyButton { id: g; key: "G" }
            KeyButton { id: h; key: "H" }
            KeyButton { id: j; key: "J" }
            KeyButton { id: k; key: "K" }
            KeyButton { id: l; key: "L" }
            KeyButton { id: fenhao; key: ";" }
        }
        Row {
            spacing: 3
            x: 40
            KeyButton { id: z; key: "Z" }
            KeyButton { id: x; key: "X" }
            KeyButton { id: c; key: "C" }
            KeyButton { id: v; key: "V" }
            KeyButton { id: b; key: "B" }
            KeyButton { id: n; key: "N" }
            KeyButton { id: m; key: "M" }
        }
    }

    // The id argument is not used: the button is found by its label.
    function setObjContent(id, key, consonant, vowel1, vowel2) {
        var button = findButton(key)
        if (button === null)
            return
        button.consonant = consonant
        button.vowel1 = vowel1
        button.vowel2 = vowel2
    }

    function findButton(label) {
        for (var r = 0; r < keyColumn.children.length; ++r) {
            var row = keyColumn.children[r]
            for (var k = 0; k < row.children.length; ++k) {
                if (row.children[k].key === label)
                    return row.children[k]
            }
        }
        return null
    }

    // Highlights one key at a time; an unknown id changes nothing.
    function setObjBorderColor(id, color) {
        var button = findButton(id)
        if (button === null)
            return
        if (prebutton !== null)
            prebutton.border.color = "#bec8d0"
        button.border.color = color
        prebutton = button
    }

    // Connected here rather than by a Connections element, whose handler
    // syntax differs between Qt 5 releases.
    Component.onCompleted: {
        shuangPinController.qmlNewShuangPinSchemeValue.connect(setObjContent)
        shuangPinController.qmlShuangPinKeyBorderColor.connect(setObjBorderColor)
    }
}
