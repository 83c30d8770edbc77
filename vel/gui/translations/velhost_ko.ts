<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko_KR">
<context>
    <name>HostInput</name>
    <message>
        <source>no command is registered</source>
        <translation>등록된 명령이 없습니다</translation>
    </message>
    <message>
        <source>the command is already running</source>
        <translation>명령이 이미 실행 중입니다</translation>
    </message>
    <message>
        <source>not a point: type x,y, @dx,dy or @distance&lt;angle</source>
        <translation>점이 아닙니다: x,y, @dx,dy 또는 @거리&lt;각도를 입력하십시오</translation>
    </message>
    <message>
        <source>no point yet to be relative to: type x,y</source>
        <translation>상대 좌표의 기준점이 아직 없습니다: x,y를 입력하십시오</translation>
    </message>
    <message>
        <source>pick needs a running command</source>
        <translation>선택하려면 실행 중인 명령이 있어야 합니다</translation>
    </message>
    <message>
        <source>no pick is armed</source>
        <translation>선택을 기다리는 단계가 아닙니다</translation>
    </message>
    <message>
        <source>no pickable element within reach of %1</source>
        <translation>%1 근처에 선택할 수 있는 요소가 없습니다</translation>
    </message>
    <message>
        <source>nothing within reach of %1</source>
        <translation>%1 근처에 아무것도 없습니다</translation>
    </message>
    <message>
        <source>select needs a running command</source>
        <translation>선택하려면 실행 중인 명령이 있어야 합니다</translation>
    </message>
    <message>
        <source>no selection is armed</source>
        <translation>여러 형상 선택 단계가 아닙니다</translation>
    </message>
    <message>
        <source>%1 needs a running command</source>
        <translation>%1: 실행 중인 명령이 있어야 합니다</translation>
    </message>
</context>
<context>
    <name>HostWindow</name>
    <message>
        <source>Command:</source>
        <translation>명령:</translation>
    </message>
    <message>
        <source>Layers</source>
        <translation>레이어</translation>
    </message>
    <message>
        <source>the host refused: %1</source>
        <translation>호스트가 거부함: %1</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>파일(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>열기(&amp;O)...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>최근 파일 열기(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>저장(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>다른 이름으로 저장(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>끝내기(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>편집(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>실행 취소(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>다시 실행(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>보기(&amp;V)</translation>
    </message>
    <message>
        <source>Zoom to &amp;Fit</source>
        <translation>전체 보기(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Command</source>
        <translation>명령(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Insert</source>
        <translation>인서트(&amp;I)</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>도구</translation>
    </message>
    <message>
        <source>Snaps</source>
        <translation>스냅</translation>
    </message>
    <message>
        <source>&amp;Snap</source>
        <translation>스냅(&amp;S)</translation>
    </message>
    <message>
        <source>Object &amp;Snap</source>
        <translation>객체 스냅(&amp;S)</translation>
    </message>
    <message>
        <source>Object snap on (F3)</source>
        <translation>객체 스냅 켜짐 (F3)</translation>
    </message>
    <message>
        <source>Object snap off (F3)</source>
        <translation>객체 스냅 꺼짐 (F3)</translation>
    </message>
    <message>
        <source>Endpoint</source>
        <translation>끝점</translation>
    </message>
    <message>
        <source>Midpoint</source>
        <translation>중간점</translation>
    </message>
    <message>
        <source>Centre</source>
        <translation>중심점</translation>
    </message>
    <message>
        <source>Quadrant</source>
        <translation>사분점</translation>
    </message>
    <message>
        <source>Intersection</source>
        <translation>교차점</translation>
    </message>
    <message>
        <source>Nearest</source>
        <translation>근처점</translation>
    </message>
    <message>
        <source>The command is already running; Escape leaves it</source>
        <translation>명령이 이미 실행 중입니다. Esc로 빠져나갑니다</translation>
    </message>
    <message>
        <source>Unknown command: %1</source>
        <translation>알 수 없는 명령: %1</translation>
    </message>
    <message>
        <source>%1 selected</source>
        <translation>%1개 선택됨</translation>
    </message>
    <message>
        <source>Enter, space or right button: confirm</source>
        <translation>Enter, 스페이스 또는 오른쪽 버튼: 확정</translation>
    </message>
    <message>
        <source>Escape: leave the command</source>
        <translation>Esc: 명령 끝내기</translation>
    </message>
    <message>
        <source>Type insert, then Enter</source>
        <translation>insert 입력 후 Enter</translation>
    </message>
    <message>
        <source>Enter: %1 again</source>
        <translation>Enter: %1 다시 실행</translation>
    </message>
    <message>
        <source>Click or type the second point (@dx,dy from the first) · F3: snaps · %1</source>
        <translation>두 번째 점을 클릭하거나 입력 (첫 점에서 @dx,dy) · F3: 스냅 · %1</translation>
    </message>
    <message>
        <source>Click or type x,y · F3: snaps · %1 · %2</source>
        <translation>클릭하거나 x,y 입력 · F3: 스냅 · %1 · %2</translation>
    </message>
    <message>
        <source>Click a figure · %1 · %2</source>
        <translation>형상 클릭 · %1 · %2</translation>
    </message>
    <message>
        <source>Click or drag a window · %1 · %2</source>
        <translation>클릭하거나 창으로 끌어 선택 · %1 · %2</translation>
    </message>
    <message>
        <source>Enter, space or right button: done · Shift+click: take out · %1</source>
        <translation>Enter, 스페이스 또는 오른쪽 버튼: 선택 완료 · Shift+클릭: 선택 해제 · %1</translation>
    </message>
    <message>
        <source>Click a leader or a dimension to change it · %1 · %2</source>
        <translation>바꿀 지시선이나 치수 클릭 · %1 · %2</translation>
    </message>
    <message>
        <source>  (current)</source>
        <translation>  (현재)</translation>
    </message>
</context>
<context>
    <name>LeftOut</name>
    <message>
        <source>left out %1 entity:</source>
        <translation>엔티티 %1개 제외:</translation>
    </message>
    <message>
        <source>left out %1 entities:</source>
        <translation>엔티티 %1개 제외:</translation>
    </message>
    <message>
        <source>paper space</source>
        <translation>도면 공간</translation>
    </message>
    <message>
        <source>3D</source>
        <translation>3D</translation>
    </message>
    <message>
        <source>not figures</source>
        <translation>도형 아님</translation>
    </message>
    <message>
        <source>kinds the host has no figure for</source>
        <translation>호스트에 해당 도형이 없는 종류</translation>
    </message>
    <message>
        <source>empty</source>
        <translation>비어 있음</translation>
    </message>
    <message>
        <source>bad value</source>
        <translation>잘못된 값</translation>
    </message>
    <message>
        <source>no such block</source>
        <translation>없는 블록</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>QProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Refusals</name>
    <message>
        <source>instance %1 is not the drawing&apos;s (0 or 1)</source>
        <translation>인스턴스 %1은(는) 이 도면의 것(0 또는 1)이 아닙니다</translation>
    </message>
    <message>
        <source>a command is registered with the function that starts it, and none was given</source>
        <translation>명령은 시작 함수와 함께 등록되는데, 시작 함수가 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>no place was given for the point</source>
        <translation>점을 받을 곳이 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>no event was given</source>
        <translation>이벤트가 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>no echo was given</source>
        <translation>에코가 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>selection %1 is not open</source>
        <translation>선택 %1이(가) 열려 있지 않습니다</translation>
    </message>
    <message>
        <source>no place was given for the selection&apos;s entry</source>
        <translation>선택 항목을 받을 곳이 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>id set %1 is not the host&apos;s; it keeps set %2</source>
        <translation>ID 집합 %1은(는) 호스트의 것이 아닙니다. 호스트의 집합은 %2입니다</translation>
    </message>
    <message>
        <source>segment kind %1 is none of 0 (figure), 1 (dimension) and 2 (comment)</source>
        <translation>세그먼트 종류 %1은(는) 0(형상), 1(치수), 2(주석) 중 어느 것도 아닙니다</translation>
    </message>
    <message>
        <source>layer %1 cannot be: layers are numbered from 0</source>
        <translation>레이어 %1은(는) 있을 수 없습니다: 레이어 번호는 0부터입니다</translation>
    </message>
    <message>
        <source>no colour and line type were given</source>
        <translation>색과 선 종류가 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>no figure or no place for it was given</source>
        <translation>형상이나 형상을 받을 곳이 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>no figure was given</source>
        <translation>형상이 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>the dimension&apos;s points or direction are no finite numbers</source>
        <translation>치수의 점이나 방향이 유한한 수가 아닙니다</translation>
    </message>
    <message>
        <source>no dimension was given</source>
        <translation>치수가 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>%1 decimal places: a dimension shows 0 to 12</source>
        <translation>소수점 이하 %1자리: 치수는 0에서 12자리까지 표시합니다</translation>
    </message>
    <message>
        <source>no arrow was given</source>
        <translation>화살표가 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>the leader&apos;s points or direction are no finite numbers</source>
        <translation>지시선의 점이나 방향이 유한한 수가 아닙니다</translation>
    </message>
    <message>
        <source>no leader was given</source>
        <translation>지시선이 주어지지 않았습니다</translation>
    </message>
    <message>
        <source>a figure</source>
        <translation>형상</translation>
    </message>
    <message>
        <source>a dimension</source>
        <translation>치수</translation>
    </message>
    <message>
        <source>a comment</source>
        <translation>주석</translation>
    </message>
    <message>
        <source>a segment</source>
        <translation>세그먼트</translation>
    </message>
    <message>
        <source>a line</source>
        <translation>선</translation>
    </message>
    <message>
        <source>a circle</source>
        <translation>원</translation>
    </message>
    <message>
        <source>an arc</source>
        <translation>호</translation>
    </message>
    <message>
        <source>a corner R</source>
        <translation>코너 R</translation>
    </message>
    <message>
        <source>a chamfer</source>
        <translation>모따기</translation>
    </message>
    <message>
        <source>a point</source>
        <translation>점</translation>
    </message>
    <message>
        <source>a leader</source>
        <translation>지시선</translation>
    </message>
    <message>
        <source>a corner R of %1 is no size: it must be above 0</source>
        <translation>코너 R %1은(는) 크기가 아닙니다: 0보다 커야 합니다</translation>
    </message>
    <message>
        <source>a chamfer of %1 is no size: it must be above 0</source>
        <translation>모따기 %1은(는) 크기가 아닙니다: 0보다 커야 합니다</translation>
    </message>
    <message>
        <source>a side of no length has no corner</source>
        <translation>길이가 없는 변에는 코너가 없습니다</translation>
    </message>
    <message>
        <source>sides %1 and %2 are parallel: no corner R joins them</source>
        <translation>변 %1과(와) %2이(가) 평행합니다: 코너 R로 이을 수 없습니다</translation>
    </message>
    <message>
        <source>sides %1 and %2 are parallel: no chamfer joins them</source>
        <translation>변 %1과(와) %2이(가) 평행합니다: 모따기로 이을 수 없습니다</translation>
    </message>
    <message>
        <source>the corner R %1 does not fit where sides of %2 and %3 meet</source>
        <translation>코너 R %1이(가) 길이 %2과(와) %3인 변이 만나는 곳에 들어가지 않습니다</translation>
    </message>
    <message>
        <source>the chamfer %1 does not fit where sides of %2 and %3 meet</source>
        <translation>모따기 %1이(가) 길이 %2과(와) %3인 변이 만나는 곳에 들어가지 않습니다</translation>
    </message>
    <message>
        <source>segment %1 does not exist</source>
        <translation>세그먼트 %1이(가) 없습니다</translation>
    </message>
    <message>
        <source>segment %1 is %2, not %3</source>
        <translation>세그먼트 %1은(는) %3이(가) 아니라 %2입니다</translation>
    </message>
    <message>
        <source>element %1 does not exist</source>
        <translation>요소 %1이(가) 없습니다</translation>
    </message>
    <message>
        <source>a corner</source>
        <translation>코너</translation>
    </message>
    <message>
        <source>element %1 is %2, not %3</source>
        <translation>요소 %1은(는) %3이(가) 아니라 %2입니다</translation>
    </message>
    <message>
        <source>figure type %1 is none the host knows</source>
        <translation>형상 종류 %1은(는) 호스트가 모르는 종류입니다</translation>
    </message>
    <message>
        <source>%1 is cut between two lines, not made on its own</source>
        <translation>%1은(는) 두 선 사이에 만들어지며 따로 만들 수 없습니다</translation>
    </message>
    <message>
        <source>%1 with a value that is no finite number</source>
        <translation>유한한 수가 아닌 값이 있는 %1</translation>
    </message>
    <message>
        <source>%1 of radius %2 cannot be drawn</source>
        <translation>반지름 %2인 %1은(는) 그릴 수 없습니다</translation>
    </message>
    <message>
        <source>corner kind %1 is neither 0 (round) nor 1 (chamfer)</source>
        <translation>코너 종류 %1은(는) 0(라운드)도 1(모따기)도 아닙니다</translation>
    </message>
    <message>
        <source>element %1 is %2, not a line</source>
        <translation>요소 %1은(는) 선이 아니라 %2입니다</translation>
    </message>
    <message>
        <source>lines %1 and %2 are not next to each other in one figure</source>
        <translation>선 %1과(와) %2이(가) 한 형상 안에서 이웃해 있지 않습니다</translation>
    </message>
    <message>
        <source>corner %1 does not stand between two lines</source>
        <translation>코너 %1이(가) 두 선 사이에 있지 않습니다</translation>
    </message>
    <message>
        <source>figure %1 is open: it has no inside</source>
        <translation>형상 %1이(가) 열려 있습니다: 안쪽이 없습니다</translation>
    </message>
    <message>
        <source>figure %1 has nothing in it</source>
        <translation>형상 %1에 아무것도 없습니다</translation>
    </message>
    <message>
        <source>figure %1 holds %2: an outline is of lines and arcs</source>
        <translation>형상 %1에 %2이(가) 있습니다: 외곽선은 선과 호로 이루어집니다</translation>
    </message>
    <message>
        <source>figure %1 encloses no area</source>
        <translation>형상 %1이(가) 넓이를 둘러싸지 않습니다</translation>
    </message>
    <message>
        <source>an offset of %1 is no distance</source>
        <translation>오프셋 %1은(는) 거리가 아닙니다</translation>
    </message>
    <message>
        <source>figure %1 is open: only a closed figure is offset</source>
        <translation>형상 %1이(가) 열려 있습니다: 닫힌 형상만 오프셋됩니다</translation>
    </message>
    <message>
        <source>figure %1 holds %2: only lines and their corners are offset</source>
        <translation>형상 %1에 %2이(가) 있습니다: 선과 그 코너만 오프셋됩니다</translation>
    </message>
    <message>
        <source>figure %1 has %2 sides: an offset needs 3</source>
        <translation>형상 %1의 변은 %2개입니다: 오프셋에는 3개가 필요합니다</translation>
    </message>
    <message>
        <source>the offset of %1 inwards turns the %2 × %3 figure %4 inside out</source>
        <translation>안쪽으로 %1 오프셋하면 %2 × %3 형상 %4이(가) 뒤집힙니다</translation>
    </message>
    <message>
        <source>the %1 × %2 figure %3 cannot be offset by %4 outwards: a side would be lost</source>
        <translation>%1 × %2 형상 %3은(는) 바깥쪽으로 %4 오프셋할 수 없습니다: 변 하나가 없어집니다</translation>
    </message>
    <message>
        <source>segment %1 has no base or target to move by</source>
        <translation>세그먼트 %1을(를) 옮길 기준점이나 목표점이 없습니다</translation>
    </message>
    <message>
        <source>segment %1 cannot be moved by %2</source>
        <translation>세그먼트 %1을(를) %2만큼 옮길 수 없습니다</translation>
    </message>
    <message>
        <source>segment %1 cannot be scaled by %2</source>
        <translation>세그먼트 %1을(를) %2배로 축척할 수 없습니다</translation>
    </message>
</context>
<context>
    <name>WindowFiles</name>
    <message>
        <source>untitled</source>
        <translation>제목 없음</translation>
    </message>
    <message>
        <source>%1[*] - velhost</source>
        <translation>%1[*] - velhost</translation>
    </message>
    <message>
        <source>Reading %1...</source>
        <translation>%1 읽는 중...</translation>
    </message>
    <message>
        <source>Opening %1 cancelled</source>
        <translation>%1 열기 취소됨</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>Writing %1...</source>
        <translation>%1 쓰는 중...</translation>
    </message>
    <message>
        <source>Saving cancelled: %1 is as it was</source>
        <translation>저장 취소됨: %1은(는) 그대로입니다</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>저장</translation>
    </message>
    <message>
        <source>Picture written to %1</source>
        <translation>그림을 %1에 썼습니다</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 저장됨</translation>
    </message>
    <message>
        <source>Writing %1 cancelled: it is as it was</source>
        <translation>%1 쓰기 취소됨: 그대로입니다</translation>
    </message>
    <message>
        <source>Open drawing</source>
        <translation>도면 열기</translation>
    </message>
    <message>
        <source>Drawings (*.dxf *.json);;DXF (*.dxf);;JSON (*.json)</source>
        <translation>도면 (*.dxf *.json);;DXF (*.dxf);;JSON (*.json)</translation>
    </message>
    <message>
        <source>DXF (*.dxf)</source>
        <translation>DXF (*.dxf)</translation>
    </message>
    <message>
        <source>JSON (*.json)</source>
        <translation>JSON (*.json)</translation>
    </message>
    <message>
        <source>SVG picture (*.svg)</source>
        <translation>SVG 그림 (*.svg)</translation>
    </message>
    <message>
        <source>Save drawing</source>
        <translation>도면 저장</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1이(가) 이미 있습니다.
바꾸시겠습니까?</translation>
    </message>
    <message>
        <source>Reading %1 %2.
Saving over the file loses what was left out.</source>
        <translation>%1 읽기: %2.
이 파일에 덮어쓰면 빠진 내용을 잃습니다.</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>다른 이름으로 저장(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>덮어쓰기(&amp;O)</translation>
    </message>
    <message>
        <source>The drawing has changed. Save the changes?</source>
        <translation>도면이 바뀌었습니다. 바뀐 내용을 저장하시겠습니까?</translation>
    </message>
</context>
</TS>
